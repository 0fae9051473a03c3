#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The panel the main window shows instead of the contact list when a group has no contacts:
// a picture, "No Contact" and a "Create now" button, 160 x 198.
class NoContactWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NoContactWidget(QWidget *parent = nullptr);

signals:
    // "Create now" was clicked.
    void sigBtnCreateClicked();

private slots:
    void on_pushButton_clicked();

private:
    QLabel *labelBigLogo = nullptr;    // owned via Qt parent
    QLabel *labelTips = nullptr;       // owned via Qt parent
    QPushButton *pushButton = nullptr; // owned via Qt parent
};
