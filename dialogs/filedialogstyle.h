#pragma once

#include "dialogs/messageboxdialogbase.h"
#include "shell/langtranslater.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QString>

// Looks shared by the three file dialogs (new file, import, save as): the card, the title, the
// line edits, the Browse buttons, the combo boxes and the button box.
namespace FileDialogStyle {

inline QString card()
{
    return QStringLiteral("background: #ffffff;\nborder-radius: 6px;");
}

inline QString title()
{
    return QStringLiteral("font-size: 20px;\ncolor: #3e3e3e;\nbackground: transparent;");
}

inline QString label()
{
    return QStringLiteral("font-size: 16px;\ncolor: #333333;\nbackground: transparent;");
}

// borderColour: #999999, or #278CF8 in the import dialog.
inline QString lineEdit(const QString &borderColour)
{
    return QStringLiteral("QLineEdit{font-size: 18px; color: #333333; border: 1px solid %1;"
                          " border-radius: 4px; padding-left: 5px; background: #ffffff;}")
        .arg(borderColour);
}

inline QString browseButton()
{
    return QStringLiteral(
        "QPushButton{border: 1px solid #999999; border-radius: 4px; font-size: 16px;"
        " color: #333333; background: #ffffff;}"
        "QPushButton:hover{border: 1px solid #278CF8; background: rgba(39,140,248,0.20);"
        " color: #278CF8;}");
}

inline QString comboBox(const QString &borderColour, int fontPx)
{
    return QStringLiteral(
               "QComboBox{border: 1px solid %1; border-radius: 4px; font-size: %2px;"
               " color: #333333; padding-left: 5px; background: #ffffff;}"
               "QComboBox::drop-down{width: 20px; border: none;}"
               "QComboBox::down-arrow{image: url(:/image/arrow_dow.png);}"
               "QComboBox QAbstractItemView{font-size: %2px; color: #333333; outline: 0px;"
               " background: #ffffff;}"
               "QComboBox QAbstractItemView::item{min-height: 38px; padding-left: 5px;}"
               "QComboBox QAbstractItemView::item:selected{background: rgba(0,0,0,0.10);"
               " color: #333333;}")
        .arg(borderColour)
        .arg(fontPx);
}

inline QString buttonBox()
{
    return MessageboxDialogBase::buttonBoxStyle();
}

// The part every file dialog has: fixed size, the white card "labelBackground" with its shadow,
// the title "labelTitle" (give marker text) and the OK/Cancel box "buttonBox" at (140, buttonY).
// Everything is a child of the dialog; the box is returned for the dialog's own wiring.
inline QDialogButtonBox *buildFrame(MessageboxDialogBase *dialog, int width, int height,
                                    const QString &titleText, int titleWidth, int buttonY)
{
    dialog->setFixedSize(width, height);
    auto *background = new QLabel(dialog);
    background->setObjectName(QStringLiteral("labelBackground"));
    background->setGeometry(5, 5, width - 10, height - 10);
    background->setStyleSheet(card());
    MessageboxDialogBase::addShadow(background);

    auto *titleLabel = new QLabel(dialog);
    titleLabel->setObjectName(QStringLiteral("labelTitle"));
    titleLabel->setGeometry(24, 16, titleWidth, 28);
    titleLabel->setStyleSheet(title());
    titleLabel->setText(titleText);

    auto *box = new QDialogButtonBox(dialog);
    box->setObjectName(QStringLiteral("buttonBox"));
    box->setGeometry(140, buttonY, 341, 41);
    box->setOrientation(Qt::Horizontal);
    // The look first: buttons made under a parent with a style sheet of its own (the main
    // window has one) would keep the plain platform look.
    box->setStyleSheet(buttonBox());
    box->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    return box;
}

} // namespace FileDialogStyle
