#include "ScriptedPrompts.h"

#include <QStringList>

namespace Lunovex::Test {

std::optional<ScriptedPrompts::Answer> ScriptedPrompts::next()
{
    if (answers_.empty()) return std::nullopt;
    std::optional<Answer> a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

QStringList ScriptedPrompts::messages() const
{
    QStringList texts;
    for (const Record& r : records_)
        if (r.kind == Kind::Message) texts.append(r.text);
    return texts;
}

PromptAnswer ScriptedPrompts::message(QWidget*, const QString& text, PromptIcon icon, PromptButtons buttons,
                                      const QString& caption)
{
    Record record{Kind::Message, text, caption, icon, buttons, {}, false};
    PromptAnswer result = PromptAnswer::Ok;
    switch (buttons) {
    case PromptButtons::Ok:
        result = PromptAnswer::Ok;
        break;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        result = PromptAnswer::Cancel;
        break;
    case PromptButtons::YesNo:
        result = PromptAnswer::No;
        break;
    }
    if (const auto a = next(); a && a->kind == Answer::Button) {
        result = a->button;
        record.scripted = true;
    }
    records_.append(record);
    return result;
}

QString ScriptedPrompts::textAnswer(Record& record)
{
    QString result;
    const auto a = next();
    if (a && a->kind == Answer::Text) result = a->text;
    record.scripted = a.has_value();
    records_.append(record);
    return result;
}

std::optional<QString> ScriptedPrompts::input(QWidget*, const QString& prompt, const QString& caption,
                                              const QString& initial)
{
    Record record{Kind::Input, prompt, caption, PromptIcon::None, PromptButtons::OkCancel, initial, false};
    const auto a = next();
    if (a && a->kind == Answer::Text) {
        record.scripted = true;
        records_.append(record);
        return a->text;
    }
    record.scripted = a.has_value();
    records_.append(record);
    return std::nullopt;
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& caption, const QString& startFolder,
                                      const QString&)
{
    Record record{Kind::OpenFile, caption, {}, PromptIcon::None, PromptButtons::OkCancel, startFolder, false};
    return textAnswer(record);
}

QString ScriptedPrompts::saveFileName(QWidget*, const QString& caption, const QString& startPath,
                                      const QString&)
{
    Record record{Kind::SaveFile, caption, {}, PromptIcon::None, PromptButtons::OkCancel, startPath, false};
    return textAnswer(record);
}

QString ScriptedPrompts::pickFolder(QWidget*, const QString& prompt, const QString& startFolder, bool)
{
    Record record{Kind::Folder, prompt, {}, PromptIcon::None, PromptButtons::OkCancel, startFolder, false};
    return textAnswer(record);
}

} // namespace Lunovex::Test
