#include "platform/Prompts.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace Lunovex {

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

class DialogPrompts final : public Prompts
{
public:
    PromptAnswer message(QWidget* owner, const QString& text, PromptIcon icon, PromptButtons buttons,
                         const QString& caption) override
    {
        QMessageBox box(boxIcon(icon), caption, text, boxButtons(buttons), owner);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Cancel:
            return PromptAnswer::Cancel;
        default:
            return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
        }
    }

    std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& caption,
                                 const QString& initial) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(owner, caption, prompt, QLineEdit::Normal, initial, &ok);
        if (!ok) return std::nullopt;
        return text;
    }

    QString openFileName(QWidget* owner, const QString& caption, const QString& startFolder,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(owner, caption, startFolder, filter);
    }

    QString saveFileName(QWidget* owner, const QString& caption, const QString& startPath,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(owner, caption, startPath, filter);
    }

    QString pickFolder(QWidget* owner, const QString& prompt, const QString& startFolder,
                       bool showFiles) override
    {
        QFileDialog dialog(owner, prompt, startFolder);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, !showFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }
};

Prompts*& installed()
{
    static Prompts* prompts = nullptr;
    return prompts;
}

} // namespace

Prompts& Prompts::current()
{
    static DialogPrompts dialogs;
    return installed() ? *installed() : dialogs;
}

void Prompts::install(Prompts* prompts)
{
    installed() = prompts;
}

QString Prompts::defaultCaption()
{
    return QGuiApplication::applicationDisplayName();
}

void MsgBox(QWidget* owner, const QString& text, PromptIcon icon)
{
    Prompts::current().message(owner, text, icon, PromptButtons::Ok, Prompts::defaultCaption());
}

PromptAnswer AskQuestion(QWidget* owner, const QString& text, PromptButtons buttons, PromptIcon icon)
{
    return Prompts::current().message(owner, text, icon, buttons, Prompts::defaultCaption());
}

std::optional<QString> InputBox(QWidget* owner, const QString& prompt, const QString& initial)
{
    return Prompts::current().input(owner, prompt, Prompts::defaultCaption(), initial);
}

} // namespace Lunovex
