#pragma once

#include "widgets/qvviewitemwidget.h"

#include <QVariant>

class QLabel;
class QPushButton;

// Row of the served-file list: a file's URL and a button that copies it to the clipboard.
// Created without parent by the delegate; the list owns it once attached.
class HttpServerUrlFileItem : public qvViewItemWidget
{
    Q_OBJECT
public:
    explicit HttpServerUrlFileItem(QWidget *parent = nullptr);

    // Shows the URL of a uiUrlFileItemData; other values are ignored. Always true.
    bool SetData(const QVariant &data) override;

private slots:
    // The shown URL goes to the clipboard, confirmed by a success toast.
    void on_btnCopyUrl_clicked();

private:
    QLabel *labelUrlFile = nullptr;    // owned via Qt parent
    QPushButton *btnCopyUrl = nullptr; // owned via Qt parent
};
