#pragma once

#include <QWidget>

// The editor's one top-level window: frameless, fixed 1280 x 720, drawing its own title bar.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Logs the start, applies the compiled-in style sheets and builds the panes.
    void init();
};
