#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace Lunovex {

enum class PromptIcon { None, Information, Exclamation, Critical, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box, question, input box, file dialog and folder picker of the product goes
// through the installed Prompts, so that tests can answer them without a person. The caption of a
// message box is the application's display name unless one is given.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer message(QWidget* owner, const QString& text, PromptIcon icon, PromptButtons buttons,
                                 const QString& caption) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& caption,
                                         const QString& initial) = 0;
    // Empty when cancelled. filter uses Qt's form: "Web pages (*.htm *.html)".
    virtual QString openFileName(QWidget* owner, const QString& caption, const QString& startFolder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* owner, const QString& caption, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString pickFolder(QWidget* owner, const QString& prompt, const QString& startFolder,
                               bool showFiles) = 0;

    // The prompts in force: the real dialogs unless a test installed its own.
    static Prompts& current();
    // Installs prompts (not owned); nullptr returns to the real dialogs.
    static void install(Prompts* prompts);

    static QString defaultCaption();
};

// Short forms for the common cases.
void MsgBox(QWidget* owner, const QString& text, PromptIcon icon = PromptIcon::Information);
PromptAnswer AskQuestion(QWidget* owner, const QString& text, PromptButtons buttons = PromptButtons::YesNo,
                         PromptIcon icon = PromptIcon::Question);
std::optional<QString> InputBox(QWidget* owner, const QString& prompt, const QString& initial = {});

} // namespace Lunovex
