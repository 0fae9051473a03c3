#pragma once

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QWidget;

// Base of every modal dialog of the editor: frameless, translucent around its rounded card,
// window-modal, deleted when closed, and dimming the main window for as long as it exists.
class MessageboxDialogBase : public QDialog
{
    Q_OBJECT
public:
    explicit MessageboxDialogBase(QWidget *parent = nullptr);
    ~MessageboxDialogBase() override;

    // Remembers the box and styles its buttons: OK filled blue reading "OK", Cancel reading
    // "Cancel". Call again after changing the box's standard buttons, which replaces them.
    void initButtonBox(QDialogButtonBox *box);
    // The family's outlined 80 x 38 buttons; set it on the box before its buttons exist, or
    // buttons made under a parent with a style sheet of its own keep the plain look.
    static QString buttonBoxStyle();

    // Sets the text of that standard button when the known box holds it; otherwise nothing.
    virtual void setButtonText(int button, const QString &text);

    // The soft drop shadow that every card of the family carries.
    static void addShadow(QWidget *widget);

protected:
    QDialogButtonBox *buttonBox = nullptr; // not owned (a child of the dialog's form)
};
