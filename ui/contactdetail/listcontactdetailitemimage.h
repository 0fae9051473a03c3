#pragma once

#include "ui/contactdetail/contactdetailprompts.h"
#include "ui/contactdetail/listcontactdetailitembase.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The first row of the detail editor (420 x 136): the photo button and the contact's name. The
// photo link is only kept here; the controller writes it to the store on commit. Children are
// owned through Qt parents.
class ListContactDetailItemImage : public ListContactDetailItemBase
{
    Q_OBJECT
public:
    explicit ListContactDetailItemImage(QWidget *parent = nullptr);

    // Sets the view text and the edit alike.
    void setName(const QString &name);
    void setPhotoLink(const QString &link) { m_photoLink = link; }
    QString photoLink() const { return m_photoLink; }
    // Local contacts have no avatar link, so their photo button cannot be pressed.
    void setPhotoEnabled(bool enabled);
    // What the photo button asks the link with.
    void setPhotoPrompt(const ContactDetailPrompts::Prompt &prompt) { m_photoPrompt = prompt; }

    void setEditable(bool editable) override;
    void startEditing(bool start) override;
    QString valueText() const override;

public slots:
    void slotMessageboxInput(const QString &strInput);

protected:
    // Marks the name edit "focustype" in or out so that its border follows the focus.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_btnImage_clicked();

private:
    QPushButton *btnImage = nullptr;   // owned via Qt parent
    QLabel *labelName = nullptr;       // owned via Qt parent
    QLineEdit *lineEditName = nullptr; // owned via Qt parent
    QString m_photoLink;
    bool m_photoEnabled = true;
    ContactDetailPrompts::Prompt m_photoPrompt;
};
