#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QLabel;
class QPushButton;
class UrlFileItemDelegate;
class qvListDataModel;
class qvListWidget;

// The modal list of every phonebook file the HTTP server hands out (the readable *.xml files of
// <working directory>/target), each with its full URL and a copy button. Created once by the
// main window and shown again after each RefreshFileList().
class HttpServerUrlFileDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HttpServerUrlFileDialog(QWidget *parent = nullptr);

    // Rebuilds the rows from the target folder as it is now, and dims the main window (the
    // caller shows the dialog next). A file name goes into its URL percent-encoded exactly as
    // the remote phonebook writer encodes the URLs of its menu files, so a copied URL fetches
    // the file whatever letters its name holds.
    void RefreshFileList();

    // The URLs of the rows, in order.
    QStringList urls() const;

public slots:
    // Escape and any other rejection close like the close button, lifting the dim.
    void reject() override;

private slots:
    void on_btnClose_clicked();

private:
    void setupForm();

    QLabel *labelBackground = nullptr;       // owned via Qt parent
    QLabel *labelTitle = nullptr;            // owned via Qt parent
    QPushButton *btnClose = nullptr;         // owned via Qt parent
    QLabel *labelNoFile = nullptr;           // owned via Qt parent
    qvListWidget *listWidget = nullptr;      // owned via Qt parent
    QPointer<qvListDataModel> model;         // owned via Qt parent
    UrlFileItemDelegate *delegate = nullptr; // owned via Qt parent
};
