#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace Lunovex {

class uXMLHTTP;

// The start window: loads the global state, shows the version, opens the search window, and
// ends the application when it closes. It stays loaded, hidden, for the whole run.
class fCover : public QWidget
{
    Q_OBJECT

public:
    explicit fCover(QWidget* parent = nullptr);
    ~fCover() override;

    // The start-up sequence.
    void Form_Load();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void determineSystemValues();
    void Timer1_Timer();
    // UpdateCheck.cpp
    void CheckForNewVersion();
    void uXMLHTTP2_OnDateArrived();
    void uXMLHTTP2_OnDateErr();
    void CompareVersionReply(const QString& text);
    void Command1_Click();
    void Form_Unload();
    void saveEmulationLevel();

    QPushButton* Command1 = nullptr; // "资料检索下载"
    QPushButton* Command3 = nullptr; // "退出软件"
    QLabel* Label1 = nullptr;        // about the publisher
    QLabel* Label2 = nullptr;        // version
    QLabel* Label3 = nullptr;        // newer version, shown by the update check
    QLabel* Label4 = nullptr;        // fair-use note
    QLabel* Label5 = nullptr;        // loading note
    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;
    uXMLHTTP* uXMLHTTP2 = nullptr;
    bool unloaded_ = false;
};

} // namespace Lunovex
