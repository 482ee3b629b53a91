#pragma once

#include <QMainWindow>

namespace Lunovex {

// The search window. For now it holds only its caption, the menu entry that opens the download
// window, and its closing rule: the start window returns when this closes and the download window
// is not loaded.
class fWebSearch : public QMainWindow
{
    Q_OBJECT

public:
    explicit fWebSearch(QWidget* parent = nullptr);
    ~fWebSearch() override;

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace Lunovex
