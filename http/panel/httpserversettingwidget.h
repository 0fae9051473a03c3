#pragma once

#include <QWidget>

class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;

// The HTTP server's popup card: status, address and port, with the port editable behind the
// edit button. An edit is committed by Return or by any mouse press that reaches the card
// (as a popup it also gets the press outside it, which then closes it). The main window places
// it, calls Refresh() and shows it; its file-list link asks the window for the served-file list.
class HttpServerSettingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HttpServerSettingWidget(QWidget *parent = nullptr);

    // Fills status, address and port from the server and ends any edit. The status reads On
    // only while the server really listens, so a switch that could not listen shows Off.
    void Refresh();

    // True while the port field is editable.
    bool isEditing() const { return editing; }

signals:
    void sigShowUrlFileDialog(bool bShow);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private slots:
    void on_btnEdit_clicked();
    // Keeps the typed port at most 65535.
    void on_lineEditHttpPort_textChanged(const QString &arg1);
    void on_pushButton_clicked();

private:
    void setupForm();
    // Applies the typed port (see the panel's messages) and ends the edit.
    void commitPort();
    void restorePort(const QString &warning);

    QLabel *labelBackground = nullptr;     // owned via Qt parent
    QLabel *labelHttpStatus = nullptr;     // owned via Qt parent
    QLabel *labelHttpIP = nullptr;         // owned via Qt parent
    QLabel *labelPortLabel = nullptr;      // owned via Qt parent
    QLineEdit *lineEditHttpPort = nullptr; // owned via Qt parent
    QPushButton *btnEdit = nullptr;        // owned via Qt parent
    QPushButton *pushButton = nullptr;     // owned via Qt parent
    bool editing = false;
};
