#pragma once

#include <QMainWindow>

class QWidget;

// The editor's one top-level window: frameless, fixed 1280 x 720, drawing its own title bar.
// It owns the auxiliary windows, among them the toast and the grey veil that dims the window
// while a message dialog is open.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Logs the start, applies the compiled-in style sheets and builds the panes.
    void init();

private slots:
    void slotShowMessagebox(bool bShow);

private:
    void setupForm();
    void buildPanes();

    QWidget *overlay = nullptr; // owned via Qt parent
};
