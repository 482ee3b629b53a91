#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace Lunovex {

// Asks for the folder harvested articles go to and whether files are named after the server's name
// or the article title. Keeps the folder history in "SaveList.dat" in the application folder. The
// outcome is in the globals SaveFolder, UseOriginalFileName and SaveFolderDialogCancelled.
class fSeleFileSavePath : public QDialog
{
    Q_OBJECT

public:
    explicit fSeleFileSavePath(QWidget* parent = nullptr);

    static QString historyFile();
    // Asks modally over owner; true when the folder was confirmed (SaveFolderDialogCancelled says the
    // same for those who read the global).
    static bool ask(QWidget* owner);

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
};

} // namespace Lunovex
