#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Lunovex {

class ReportList;

// Replaces a text in every row's address list and referring page. Keys stay unique: a row whose
// address would become empty or equal to another row's keeps its address.
class UrlReplace : public QDialog
{
    Q_OBJECT

public:
    explicit UrlReplace(ReportList* list, QWidget* parent = nullptr);

private:
    void Command1_Click();

    ReportList* list_;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};

// The replacement itself: every occurrence of find (letters compared without regard to case).
// Returns how many rows kept their address because the new one was empty or taken.
int ReplaceInAddresses(ReportList* list, const QString& find, const QString& replacement);

} // namespace Lunovex
