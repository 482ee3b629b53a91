#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Lunovex {

// The settings dialog: the download method, method one's proxy, the largest file size, when the
// search window asks for the save folder, and the embedded browser's emulation level. Shows the
// globals; "确定" writes them back to the globals and the settings store, "关闭" stores nothing.
class fOption : public QDialog
{
    Q_OBJECT

public:
    explicit fOption(QWidget* parent = nullptr);

private:
    void Form_Load();
    void Command1_Click();

    QLabel* Label1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label14 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label10 = nullptr;
    QWidget* Label2 = nullptr; // "下载文件大小不超过：       MB" with Text1 inside
    QLineEdit* Text1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 5> OptionIE{}; // IE7 … IE11
    QRadioButton* OptionIE10 = nullptr;      // 默认
    QLabel* Label9 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};

// Opens the settings dialog modally over owner.
void ShowSettingsDialog(QWidget* owner);

} // namespace Lunovex
