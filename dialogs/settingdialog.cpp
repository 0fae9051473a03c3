#include "dialogs/settingdialog.h"

#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/messageboxdialogbase.h"
#include "dialogs/tipwidget.h"
#include "shell/config.h"
#include "shell/langtranslater.h"

#include <QComboBox>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {
const QString userGroup = QStringLiteral("user");
const QString defaultVersion = QStringLiteral("1.0.0.0");
const QString copyrightKey = QStringLiteral("Copyright © 2026 Quelvox Contact Desk");

// The language whose display name is name; the last one when several share it.
LangInfo languageNamed(const QString &displayName)
{
    LangInfo found;
    const QList<LangInfo> languages = Langtranslater::languages();
    for (const LangInfo &language : languages) {
        if (language.displayName == displayName)
            found = language;
    }
    return found;
}
} // namespace

SettingDialog::SettingDialog(QWidget *parent) : QDialog(parent)
{
    setupForm();
    comboBox->setItemDelegate(new QStyledItemDelegate(comboBox));
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    MessageboxDialogBase::addShadow(labelBackground);

    versionText = Config::instance()->value(userGroup, QStringLiteral("version")).toString();
    if (versionText.isEmpty())
        versionText = defaultVersion;
    fillLanguages();
    setTexts();
    QMetaObject::connectSlotsByName(this);
}

void SettingDialog::setupForm()
{
    setObjectName(QStringLiteral("SettingDialog"));
    setFixedSize(490, 424);

    labelBackground = new QLabel(this);
    labelBackground->setObjectName(QStringLiteral("labelBackground"));
    labelBackground->setGeometry(5, 5, 480, 414);
    labelBackground->setStyleSheet(QStringLiteral("background: #ffffff;\nborder-radius: 6px;"));

    auto *labelTitle = new QLabel(this);
    labelTitle->setObjectName(QStringLiteral("labelTitle"));
    labelTitle->setGeometry(24, 16, 150, 28);
    labelTitle->setStyleSheet(QStringLiteral("font-size: 20px;\ncolor: #3E3E3E;"));
    labelTitle->setText(Langtranslater::mark(QStringLiteral("Settings")));

    auto *btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(440, 10, 32, 32);
    btnClose->setFocusPolicy(Qt::NoFocus);
    btnClose->setToolTip(Langtranslater::lookup(QStringLiteral("Close")));
    btnClose->setAccessibleName(Langtranslater::lookup(QStringLiteral("Close")));
    btnClose->setStyleSheet(QStringLiteral(
        "QPushButton { border: none; background: transparent; image: url(:/image/title_close.png);"
        " border-radius: 4px; }"
        "QPushButton:hover { background: #F54849; }"));

    auto *labelLanguage = new QLabel(this);
    labelLanguage->setObjectName(QStringLiteral("labelLanguage"));
    labelLanguage->setGeometry(24, 72, 150, 22);
    labelLanguage->setStyleSheet(QStringLiteral("font-size: 16px;\ncolor: #333333;"));
    labelLanguage->setText(Langtranslater::mark(QStringLiteral("Language")));

    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setGeometry(24, 102, 442, 48);
    comboBox->setStyleSheet(QStringLiteral(
        "QComboBox { border: 1px solid #999999; background: #ffffff; font-size: 18px;"
        " color: #333333; border-radius: 4px; padding-left: 12px; }"
        "QComboBox::drop-down { border: none; width: 36px; }"
        "QComboBox::down-arrow { image: url(:/image/arrow_dow.png); }"
        "QComboBox QAbstractItemView { border: 1px solid #999999; background: #ffffff;"
        " outline: 0px; }"
        "QComboBox QAbstractItemView::item { min-height: 40px; padding-left: 12px;"
        " color: #333333; }"
        "QComboBox QAbstractItemView::item:selected { background: #DFE7F1; color: #333333; }"));

    auto *wgtSupport = new QWidget(this);
    wgtSupport->setObjectName(QStringLiteral("wgtSupport"));
    wgtSupport->setGeometry(24, 172, 301, 22);
    auto *layoutWidget = new QWidget(wgtSupport);
    layoutWidget->setObjectName(QStringLiteral("horizontalLayoutWidget"));
    layoutWidget->setGeometry(0, 0, 301, 25);
    auto *layout = new QHBoxLayout(layoutWidget);
    layout->setObjectName(QStringLiteral("horizontalLayout"));
    layout->setContentsMargins(0, 0, 0, 0);
    labelSupport = new QLabel(layoutWidget);
    labelSupport->setObjectName(QStringLiteral("labelSupport"));
    labelSupport->setStyleSheet(QStringLiteral("font-size: 14px;\ncolor: #333333;"));
    layout->addWidget(labelSupport);
    auto *pushButton = new QPushButton(layoutWidget);
    pushButton->setObjectName(QStringLiteral("pushButton"));
    pushButton->setFixedHeight(23);
    pushButton->setCursor(Qt::PointingHandCursor);
    pushButton->setStyleSheet(
        QStringLiteral("QPushButton { font-size: 14px; color: #278CF8; border: none;"
                       " background: transparent; padding: 0px 2px; text-align: left; }"
                       "QPushButton:hover { color: #3177D3; }"));
    pushButton->setText(Langtranslater::mark(QStringLiteral("Support")));
    layout->addWidget(pushButton);
    layout->addStretch();

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("label_3"));
    logo->setGeometry(212, 252, 62, 62);
    logo->setPixmap(QPixmap(QStringLiteral(":/image/logo_large.png")));
    logo->setScaledContents(true);

    const QString smallGrey = QStringLiteral("font-size: 14px;\ncolor: #666666;");
    labelVersion = new QLabel(this);
    labelVersion->setObjectName(QStringLiteral("labelVersion"));
    labelVersion->setGeometry(110, 352, 260, 20);
    labelVersion->setStyleSheet(smallGrey);
    labelVersion->setAlignment(Qt::AlignCenter);

    auto *labelCopyRight = new QLabel(this);
    labelCopyRight->setObjectName(QStringLiteral("labelCopyRight"));
    labelCopyRight->setGeometry(65, 376, 350, 22);
    labelCopyRight->setStyleSheet(smallGrey);
    labelCopyRight->setAlignment(Qt::AlignCenter);
    labelCopyRight->setText(Langtranslater::mark(copyrightKey));
}

void SettingDialog::fillLanguages()
{
    // Filling the list must not count as the user choosing a language.
    const QSignalBlocker blocker(comboBox);
    const QString configured =
        Config::instance()->value(userGroup, QStringLiteral("language")).toString();
    const QList<LangInfo> languages = Langtranslater::languages();
    int selected = 0;
    for (int i = 0; i < languages.size(); ++i) {
        comboBox->addItem(languages.at(i).displayName);
        if (languages.at(i).name == configured)
            selected = i;
    }
    if (!languages.isEmpty())
        comboBox->setCurrentIndex(selected);
}

void SettingDialog::setTexts()
{
    labelVersion->setText(Langtranslater::lookup(QStringLiteral("Version")) + QStringLiteral(": ") +
                          versionText);
    labelSupport->setText(Langtranslater::lookup(QStringLiteral("For more help, please visit")));
}

void SettingDialog::showDialog()
{
    emit CMessageDialogListManager::instance()->sigShowMessagebox(true);
    show();
}

QUrl SettingDialog::supportPageUrl()
{
    return QUrl::fromLocalFile(
        QDir::current().absoluteFilePath(QStringLiteral("app/help/QuickGuide.html")));
}

void SettingDialog::reject()
{
    on_btnClose_clicked();
}

void SettingDialog::on_btnClose_clicked()
{
    hide();
    emit CMessageDialogListManager::instance()->sigShowMessagebox(false);
}

void SettingDialog::on_comboBox_currentTextChanged(const QString &arg1)
{
    const LangInfo language = languageNamed(arg1);
    Langtranslater::setLanguage(language.path);
    if (language.name.isEmpty())
        return;
    Config::instance()->setValue(userGroup, QStringLiteral("language"), language.name);
    setTexts();
    emit sigLanguageChanged(arg1);
}

void SettingDialog::on_pushButton_clicked()
{
    const QUrl page = supportPageUrl();
    if (!QFileInfo::exists(page.toLocalFile())) {
        qWarning() << "Support page missing:" << page.toLocalFile();
        TipWidget::showTip(Langtranslater::lookup(QStringLiteral("The help page is missing")),
                           TipWidget::Warning);
        return;
    }
    QDesktopServices::openUrl(page);
}
