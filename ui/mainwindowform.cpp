#include "ui/mainwindowform.h"

#include "shell/langtranslater.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>

namespace {

// The whole-text marker: the label or button shows the key's translation at paint time.
QString wholeMarker(const char *key)
{
    return QStringLiteral("`?") + QLatin1String(key);
}

template <typename W> W *place(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton *toolButton(QWidget *parent, const char *name, int x, const char *image)
{
    auto *button = place<QPushButton>(parent, name, x, 40, 120, 44);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setIcon(QIcon(QLatin1String(image)));
    button->setIconSize(QSize(20, 20));
    button->setStyleSheet(QStringLiteral("QPushButton { background: #FFFFFF; border: none;"
                                         " color: #333333; font-size: 16px; }"
                                         "QPushButton:hover { background: #F0F4F9; }"));
    return button;
}

// A borderless button that is only its image, with another image or colour on hover.
QPushButton *imageButton(QWidget *parent, const char *name, QRect at, const QString &style)
{
    auto *button = place<QPushButton>(parent, name, at.x(), at.y(), at.width(), at.height());
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(style);
    return button;
}

// The style of an image button whose image changes to another on hover (full resource names,
// so that every image a source names can be found by searching for it).
QString hoverImageStyle(const char *image, const char *hoverImage)
{
    return QStringLiteral("QPushButton { border: none; background: transparent;"
                          " border-image: url(%1); }"
                          "QPushButton:hover { border-image: url(%2); }")
        .arg(QLatin1String(image), QLatin1String(hoverImage));
}

QPushButton *outlinedButton(QWidget *parent, const char *name, QRect at, const char *key)
{
    auto *button = place<QPushButton>(parent, name, at.x(), at.y(), at.width(), at.height());
    button->setAutoDefault(false);
    button->setText(wholeMarker(key));
    button->setStyleSheet(
        QStringLiteral("QPushButton { border: 1px solid #268BF7; border-radius: 4px;"
                       " background: transparent; color: #268BF7; font-size: 16px; }"
                       "QPushButton:hover, QPushButton:pressed { background: #1A268BF7; }"));
    return button;
}

} // namespace

void MainWindowForm::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    window->setFixedSize(1280, 720);
    window->setWindowTitle(QStringLiteral("Quelvox Contact Desk"));
    window->setStyleSheet(QStringLiteral("QMainWindow\n{\nborder:none;\n}"));

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    centralWidget->setAttribute(Qt::WA_StyledBackground);
    centralWidget->setStyleSheet(QStringLiteral(
        "#centralWidget { background-image: url(:/image/background.png); border: none; }"));
    window->setCentralWidget(centralWidget);

    // Title bar and tool bar.
    wgtTitle = place<QWidget>(centralWidget, "wgtTitle", 0, 0, 1280, 88);
    wgtTitle->setFixedHeight(88);
    btnNewFile = toolButton(wgtTitle, "btnNewFile", 16, ":/image/new_file.png");
    btnImportFile = toolButton(wgtTitle, "btnImportFile", 137, ":/image/import_file.png");
    btnSaveFile = toolButton(wgtTitle, "btnSaveFile", 258, ":/image/savefile.png");
    btnHistory = toolButton(wgtTitle, "btnHistory", 378, ":/image/history.png");
    btnSetting = toolButton(wgtTitle, "btnSetting", 498, ":/image/setup.png");

    labelTitlebarLogo = place<QLabel>(wgtTitle, "labelTitlebarLogo", 16, 10, 20, 20);
    labelTitlebarLogo->setPixmap(QPixmap(QStringLiteral(":/image/logo.png")));
    labelTitlebarLogo->setScaledContents(true);
    labelTitlebarName = place<QLabel>(wgtTitle, "labelTitlebarName", 46, 10, 181, 20);
    labelTitlebarName->setStyleSheet(QStringLiteral("font-size: 14px; color: #333333;"));
    labelTitlebarName->setText(wholeMarker("Quelvox Contact Desk"));

    btnMinimize = imageButton(wgtTitle, "btnMinimize", QRect(1208, 5, 32, 32),
                              QStringLiteral("QPushButton { border: none; background: transparent;"
                                             " image: url(:/image/title_minimize.png); }"
                                             "QPushButton:hover { background: #F0F4F9; }"));
    btnClose = imageButton(wgtTitle, "btnClose", QRect(1240, 5, 32, 32),
                           QStringLiteral("QPushButton { border: none; background: transparent;"
                                          " image: url(:/image/title_close.png); }"
                                          "QPushButton:hover { background: #F54849; }"));

    btnSwitchHttpserver = imageButton(
        wgtTitle, "btnSwitchHttpserver", QRect(1088, 57, 30, 14),
        QStringLiteral("QPushButton { border: none; background: transparent;"
                       " border-image: url(:/image/switch_off.png); }"
                       "QPushButton[switch=\"on\"] { border-image: url(:/image/switch_on.png); }"));
    btnSwitchHttpserver->setProperty("switch", QStringLiteral("off"));

    wgtHttpServer = place<QWidget>(wgtTitle, "wgtHttpServer", 1130, 47, 141, 31);
    horizontalLayoutWidget = place<QWidget>(wgtHttpServer, "horizontalLayoutWidget", 0, 0, 143, 31);
    horizontalLayout = new QHBoxLayout(horizontalLayoutWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    labelHttpserver = new QLabel(horizontalLayoutWidget);
    labelHttpserver->setObjectName(QStringLiteral("labelHttpserver"));
    labelHttpserver->setStyleSheet(QStringLiteral("font-size: 16px; color: #333333;"));
    horizontalLayout->addWidget(labelHttpserver);
    btnShowHttpserver = new QPushButton(horizontalLayoutWidget);
    btnShowHttpserver->setObjectName(QStringLiteral("btnShowHttpserver"));
    btnShowHttpserver->setFixedSize(20, 20);
    btnShowHttpserver->setAutoDefault(false);
    btnShowHttpserver->setCursor(Qt::PointingHandCursor);
    btnShowHttpserver->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent;"
                       " border-image: url(:/image/openhttp.png); }"));
    horizontalLayout->addWidget(btnShowHttpserver);
    horizontalLayout->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    // Content: group, contact and detail columns.
    widgetContent = place<QWidget>(centralWidget, "widgetContent", 16, 104, 1248, 600);
    widgetContent->setStyleSheet(QStringLiteral("#widgetContent { background: transparent; }"));

    wgtGroup = place<QWidget>(widgetContent, "wgtGroup", 1, 1, 286, 598);
    labelGroupTitle = place<QLabel>(wgtGroup, "labelGroupTitle", 16, 18, 251, 28);
    labelGroupTitle->setStyleSheet(QStringLiteral("font-size: 20px; color: #333333;"));
    btnAddGroup =
        imageButton(wgtGroup, "btnAddGroup", QRect(250, 20, 20, 20),
                    hoverImageStyle(":/image/add group.png", ":/image/add group_click.png"));

    wgtContact = place<QWidget>(widgetContent, "wgtContact", 286, 1, 352, 598);
    wgtContact->setAttribute(Qt::WA_StyledBackground);
    wgtContact->setStyleSheet(
        QStringLiteral("#wgtContact { border: none; border-right: 1px solid rgba(0,0,0,0.10); }"));

    wgtSearchWidget = place<QWidget>(wgtContact, "wgtSearchWidget", 0, 0, 350, 60);
    editSearchContact = place<QLineEdit>(wgtSearchWidget, "editSearchContact", 20, 12, 240, 36);
    editSearchContact->setMaxLength(128);
    editSearchContact->setStyleSheet(QStringLiteral(
        "QLineEdit { padding-left: 45px; border: 1px solid #DCDFE6; border-radius: 4px;"
        " background: #FFFFFF; color: #333333; font-size: 16px; }"
        "QLineEdit:focus { border: 1px solid #278CF8; }"));
    labSearchIcon = place<QLabel>(wgtSearchWidget, "labSearchIcon", 37, 20, 20, 20);
    labSearchIcon->setPixmap(QPixmap(QStringLiteral(":/image/search.png")));
    labSearchIcon->setScaledContents(true);
    labSearchIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    btnAddContact =
        imageButton(wgtSearchWidget, "btnAddContact", QRect(276, 20, 20, 20),
                    hoverImageStyle(":/image/add contact.png", ":/image/add contact_click.png"));
    btnContactMore = imageButton(wgtSearchWidget, "btnContactMore", QRect(312, 20, 20, 20),
                                 hoverImageStyle(":/image/more.png", ":/image/more_click.png"));

    wgtContactBatch = place<QWidget>(wgtContact, "wgtContactBatch", 0, 0, 350, 60);
    btnContactAllSelect =
        place<QPushButton>(wgtContactBatch, "btnContactAllSelect", 10, 10, 130, 40);
    btnContactAllSelect->setAutoDefault(false);
    btnContactAllSelect->setText(wholeMarker("All Select"));
    btnContactAllSelect->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent; color: #333333;"
                       " font-size: 20px; padding-left: 20px; text-align: left; }"));
    // Above the button so that it shows; clicks go through to the button below.
    labContactAllSelectIcon =
        place<QLabel>(wgtContactBatch, "labContactAllSelectIcon", 10, 20, 20, 20);
    labContactAllSelectIcon->setAttribute(Qt::WA_TransparentForMouseEvents);
    labContactAllSelectIcon->setProperty("select", QStringLiteral("off"));
    labContactAllSelectIcon->setStyleSheet(
        QStringLiteral("QLabel { border-image: url(:/image/check_off.png); }"
                       "QLabel[select=\"all\"] { border-image: url(:/image/check_on.png); }"
                       "QLabel[select=\"part\"] { border-image: url(:/image/check_no_all.png); }"));
    btnContactMoveto =
        outlinedButton(wgtContactBatch, "btnContactMoveto", QRect(150, 14, 71, 32), "Move to");
    btnContactDelete =
        outlinedButton(wgtContactBatch, "btnContactDelete", QRect(220, 14, 57, 32), "Delete");
    btnContactBathCancle =
        outlinedButton(wgtContactBatch, "btnContactBathCancle", QRect(276, 14, 56, 32), "Cancel");

    wgtContactDetail = place<QWidget>(widgetContent, "wgtContactDetail", 638, 1, 608, 598);
    btnEditContact = place<QPushButton>(wgtContactDetail, "btnEditContact", 480, 10, 110, 38);
    btnEditContact->setAutoDefault(false);
    btnEditContact->setText(wholeMarker("Edit"));
    btnEditContact->setStyleSheet(
        QStringLiteral("QPushButton { border: 1px solid #278CF8; border-radius: 4px;"
                       " background: transparent; color: #278CF8; font-size: 16px; }"
                       "QPushButton:hover, QPushButton:pressed { background: #1A278CF8; }"));
    listContactDetailWgt =
        place<QListWidget>(wgtContactDetail, "listContactDetailWgt", 100, 55, 491, 531);
    listContactDetailWgt->setStyleSheet(QStringLiteral(
        "QListWidget { background: #FFFFFF; border: none; outline: 0px; }"
        "QListWidget::item { height: 48px; }"
        "QListWidget::item:selected, QListWidget::item:hover { background: transparent; }"));
}
