#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace Lunovex {

// The about box: the application's title and version, a newer release when the update check found
// one, the maker's pages, the Qt and Chromium versions, and what the start window learnt of the system.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    QLabel* LabelTitle = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelLatest = nullptr;
    QLabel* LabelLinks = nullptr;
    QLabel* LabelComponents = nullptr;
    QLabel* LabelSystem = nullptr;
    QPushButton* cmdOK = nullptr;
};

// Opens the about box modally over owner.
void ShowAboutBox(QWidget* owner);

} // namespace Lunovex
