#pragma once

#include <QRect>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QWidget;

// The pieces every contact dialog is made of, with the family's looks: the white card, the
// title, the hint line and the Ok/Cancel box. All widgets are children of the given dialog.
class ContactDialogForm
{
public:
    ContactDialogForm() = delete;

    // White rounded card 5 px inside the dialog edge; the caller adds the shadow.
    static QLabel *addBackground(QWidget *dialog, const QRect &geometry);
    // Label showing key (marker text, so it follows the interface language).
    static QLabel *addTitle(QWidget *dialog, const QRect &geometry, const QString &key);
    static QLabel *addTips(QWidget *dialog, const QRect &geometry, const QString &key);
    // Horizontal box with Ok and Cancel, outlined buttons of 80 x 38.
    static QDialogButtonBox *addButtonBox(QWidget *dialog, const QRect &geometry);
    // Input with the blue frame; the length limit is the caller's.
    static QLineEdit *addInput(QWidget *dialog, const QRect &geometry);
};
