#include "app/Forms.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace Lunovex {

namespace {

QList<QPointer<QWidget>>& loadedForms()
{
    static QList<QPointer<QWidget>> forms;
    forms.removeAll(nullptr);
    return forms;
}

} // namespace

void RegisterForm(QWidget* window)
{
    if (!loadedForms().contains(window)) loadedForms().append(window);
}

void UnregisterForm(QWidget* window)
{
    loadedForms().removeAll(window);
}

QWidget* FindForm(const QString& name)
{
    for (const QPointer<QWidget>& form : loadedForms())
        if (form && form->objectName().compare(name, Qt::CaseInsensitive) == 0) return form;
    return nullptr;
}

bool IsFormLoaded(const QString& name)
{
    return FindForm(name) != nullptr;
}

namespace {

QHash<QString, std::function<QWidget*()>>& factories()
{
    static QHash<QString, std::function<QWidget*()>> made;
    return made;
}

} // namespace

void RegisterFormFactory(const QString& name, std::function<QWidget*()> create)
{
    factories().insert(name.toLower(), std::move(create));
}

QWidget* LoadForm(const QString& name)
{
    if (QWidget* loaded = FindForm(name)) return loaded;
    const auto create = factories().value(name.toLower());
    return create ? create() : nullptr;
}

QWidget* ShowForm(const QString& name)
{
    QWidget* form = LoadForm(name);
    if (!form) return nullptr;
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void ShowStartWindowUnlessLoaded(const QString& otherMainWindow)
{
    if (IsFormLoaded(otherMainWindow)) return;
    if (QWidget* start = FindForm(FormName::Cover)) start->show();
}

void DestroyOtherForms(QWidget* startWindow)
{
    const QList<QPointer<QWidget>> forms = loadedForms();
    for (const QPointer<QWidget>& form : forms) {
        if (form && form != startWindow) {
            UnregisterForm(form);
            delete form.data();
        }
    }
}

} // namespace Lunovex
