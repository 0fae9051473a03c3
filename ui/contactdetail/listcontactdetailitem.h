#pragma once

#include "ui/contactdetail/listcontactdetailitembase.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// A detail row (465 x 48): icon, label, and a single-line value shown as text while viewing and
// in an edit while editing, with a delete button on deletable rows in edit mode. Children are
// owned through Qt parents.
class ListContactDetailItem : public ListContactDetailItemBase
{
    Q_OBJECT
public:
    explicit ListContactDetailItem(QWidget *parent = nullptr);

    // The label as given (marker text or the user's own label).
    void setLabel(const QString &label);
    // A numbered stand-in such as "Number%1" for an entry without a label of its own: shown in
    // the current language, but labelText() stays empty so that it never reaches the store.
    void setFallbackLabel(const QString &key, int number);
    // Shows a fallback label in the language now active.
    void retranslateLabel();
    // A resource path; an empty path hides the icon.
    void setIcon(const QString &path);
    // Sets the view text and the edit alike.
    void setValue(const QString &value);
    // Digits, "+" and "-" only.
    void setNumberValidator();

    void setEditable(bool editable) override;
    void startEditing(bool start) override;
    QString valueText() const override;
    QString labelText() const override;

signals:
    void sigDelteDetailItem(QWidget *pWidget);

private slots:
    void on_btnDelete_clicked();

private:
    QLabel *labelIcon = nullptr;         // owned via Qt parent
    QLabel *labelAttribtute = nullptr;   // owned via Qt parent
    QLineEdit *lineEditNumber = nullptr; // owned via Qt parent
    QLabel *labelName = nullptr;         // owned via Qt parent
    QPushButton *btnDelete = nullptr;    // owned via Qt parent
    QString m_label;                     // what labelText() reports
    QString m_fallbackKey;               // non-empty while a numbered stand-in label is shown
    int m_fallbackNumber = 0;
};
