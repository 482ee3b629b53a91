#pragma once

#include <QPointer>
#include <QString>

class QAction;
class QComboBox;
class QMenu;
class QObject;

namespace Lunovex {

class ReportList;

// Fills a combo box from a history file (one entry a line, the locale's encoding): the first 100
// usable lines, trimmed, without empty lines, lines that are not valid text, or repeats (compared
// without regard to case). A missing file leaves the box alone.
void LoadComboFromFile(QComboBox* combo, const QString& path);
// Writes every entry of the box on a line of its own; an empty box writes one empty line.
// False when the file could not be written.
bool SaveComboToFile(const QComboBox* combo, const QString& path);

// Makes the drop-down list wide enough for the longest entry, within the screen.
void FitComboDropWidth(QComboBox* combo);

// Alternating pale-green and white rows behind the list, rowHeight pixels high (0: the font's
// height of "b" plus one, plus four for taller rows).
void PaintListStripes(ReportList* list, bool tallerRows, int rowHeight);

// Width codes for the column helpers.
constexpr int kFitContents = -1;
constexpr int kFitContentsAndHeader = -2;

// column is 1-based; width in pixels or one of the fit codes. Out-of-range columns are ignored.
void SetListColumnWidth(ReportList* list, int column, int width);
void AutoSizeListColumns(ReportList* list, int width);

// Gives a control the object name the windows and the tests find it by, and returns it.
template <typename T> T* Named(T* control, const char* name)
{
    control->setObjectName(QString::fromUtf8(name));
    return control;
}

// A menu entry, and a menu on a menu bar or in a menu, by object name (a menu's action bears the
// name too, so that the entry that opens it can be found).
QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& caption);
template <typename MenuOrBar>
QMenu* AddNamedMenu(MenuOrBar* parent, const char* name, const QString& caption);
void NameMenu(QMenu* menu, const char* name);

// Whether an element of a control array has been created.
template <typename T> bool ControlExists(const QPointer<T>& control)
{
    return !control.isNull();
}
inline bool ControlExists(const QObject* control)
{
    return control != nullptr;
}

template <typename MenuOrBar> QMenu* AddNamedMenu(MenuOrBar* parent, const char* name, const QString& caption)
{
    QMenu* menu = parent->addMenu(caption);
    NameMenu(menu, name);
    return menu;
}

} // namespace Lunovex
