#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace Lunovex::Test {

// Prompts that a test answers in advance and reads back afterwards. A prompt without a scripted
// answer is cancelled (or answered with its safe button: Ok for Ok, Cancel, No) and still recorded.
class ScriptedPrompts final : public Prompts
{
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };

    struct Record
    {
        Kind kind;
        QString text;    // message, input prompt, dialog caption
        QString caption; // message box or input box caption
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        QString start; // initial text, start folder or path
        bool scripted = false;
    };

    ScriptedPrompts() { Prompts::install(this); }
    ~ScriptedPrompts() override { Prompts::install(nullptr); }

    // Answers for the next prompts, in order.
    void answer(PromptAnswer a) { answers_.push_back({Answer::Button, a, {}}); }
    void answerText(const QString& text) { answers_.push_back({Answer::Text, PromptAnswer::Ok, text}); }
    void cancelNext() { answers_.push_back({Answer::Cancel, PromptAnswer::Cancel, {}}); }

    const QList<Record>& records() const { return records_; }
    QStringList messages() const;
    void clear()
    {
        records_.clear();
        answers_.clear();
    }

    PromptAnswer message(QWidget* owner, const QString& text, PromptIcon icon, PromptButtons buttons,
                         const QString& caption) override;
    std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& caption,
                                 const QString& initial) override;
    QString openFileName(QWidget* owner, const QString& caption, const QString& startFolder,
                         const QString& filter) override;
    QString saveFileName(QWidget* owner, const QString& caption, const QString& startPath,
                         const QString& filter) override;
    QString pickFolder(QWidget* owner, const QString& prompt, const QString& startFolder,
                       bool showFiles) override;

private:
    struct Answer
    {
        enum Kind { Button, Text, Cancel } kind;
        PromptAnswer button;
        QString text;
    };
    std::optional<Answer> next();
    QString textAnswer(Record& record);

    std::deque<Answer> answers_;
    QList<Record> records_;
};

} // namespace Lunovex::Test
