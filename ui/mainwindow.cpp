#include "ui/mainwindow.h"

#include "data/phonebookmanager.h"
#include "dialogs/cmessagedialoglistmanager.h"
#include "dialogs/messageboxdialog.h"
#include "dialogs/settingdialog.h"
#include "dialogs/tipwidget.h"
#include "http/httpserver.h"
#include "http/panel/httpserversettingwidget.h"
#include "http/panel/httpserverurlfiledialog.h"
#include "shell/config.h"
#include "shell/langtranslater.h"
#include "shell/qvthememan.h"
#include "ui/contactdetail/listcontactdetialwidget.h"
#include "ui/contactdialogs/inputmessageboxdialog.h"
#include "ui/contactdialogs/messageboxdialogcontactsetting.h"
#include "ui/contactdialogs/messagedialoginputphoto.h"
#include "ui/contactlist/listcontactwidget.h"
#include "ui/contactlist/nocontactwidget.h"
#include "ui/fileworkflows/fileworkflows.h"
#include "ui/groupselect/treegroupselectwidget.h"
#include "ui/grouptree/treegroupwidget.h"
#include "ui/grouptree/uigroupitemdata.h"
#include "ui/mainwindowform.h"
#include "widgets/qvmenu.h"
#include "widgets/qvtreedatamodel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QStyle>
#include <QWidgetAction>

namespace {

const QString userGroup = QStringLiteral("user");

void repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new MainWindowForm)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

MainWindow::~MainWindow()
{
    // Dialogs still open die with this window's children, after this object stopped being a
    // MainWindow: their "gone" signal must not reach it any more.
    disconnect(CMessageDialogListManager::instance(), nullptr, this, nullptr);
    disconnect(HttpServer::instance(), nullptr, this, nullptr);
    // The same for the panes, which die after this body and may still report as they go.
    const QObjectList panes = {groupTree,       contactList,      contactDetail,   settingDialog,
                               noContactWidget, groupSelectPopup, httpServerPanel, fileWorkflows};
    for (QObject *pane : panes) {
        if (pane)
            disconnect(pane, nullptr, this, nullptr);
    }
    if (contactList)
        contactList->viewport()->removeEventFilter(this);
    if (groupTree)
        groupTree->viewport()->removeEventFilter(this);
}

QString MainWindow::contactDragFormat()
{
    // The contacts themselves are the list's ticked ones; the drag only names the gesture.
    return QStringLiteral("application/x-quelvox-ticked-contacts");
}

void MainWindow::init()
{
    qDebug() << "Start editor tool.";
    qApp->setStyleSheet(qvThemeMan::loadStyleSheet(QStringLiteral(":/qss/"), false));
    buildPanes();
    // A server stored as off is off already; switching it off again would write the settings
    // of a start-up that changed nothing.
    if (HttpServer::instance()->isOpen())
        applyHttpSwitch(true);
    else
        showHttpSwitch(false);
}

void MainWindow::buildPanes()
{
    setFocusPolicy(Qt::ClickFocus);

    groupTree = new TreeGroupWidget(ui->wgtGroup);
    groupTree->setGeometry(10, 62, 266, 532);
    groupTree->show();
    connect(groupTree, &TreeGroupWidget::sigSelectedGroupChanged, this,
            &MainWindow::slotSelectedGroupChanged);

    contactList = new ListContactWidget(ui->wgtContact);
    contactList->setGeometry(10, 76, 332, 520);
    contactList->show();
    connect(contactList, &ListContactWidget::sigContactAllSelect, this,
            &MainWindow::slotContactAllSelect);
    connect(contactList, &QListWidget::currentRowChanged, this,
            &MainWindow::slotContactCurRowChanged);
    connect(contactList, &ListContactWidget::sigContactCountChanged, this,
            &MainWindow::slotContactCountChanged);

    contactList->viewport()->installEventFilter(this);
    groupTree->viewport()->setAcceptDrops(true);
    setAcceptDrops(true); // phonebook files from a file manager
    groupTree->viewport()->installEventFilter(this);

    contactDetail = new ListContactDetialWidget(this);
    contactDetail->bindWidgets(ui->listContactDetailWgt, ui->btnEditContact);
    ContactDetailPrompts prompts;
    prompts.customLabel = [](QWidget *parent, const QString &,
                             const ContactDetailPrompts::OnInput &onInput) {
        auto *dialog = new InputMessageboxdialog(parent); // deletes itself when closed
        QObject::connect(dialog, &InputMessageboxdialog::sigMessageboxInput, dialog, onInput);
        dialog->exec();
    };
    prompts.photoLink = [](QWidget *parent, const QString &current,
                           const ContactDetailPrompts::OnInput &onInput) {
        auto *dialog = new MessageDialogInputPhoto(parent); // deletes itself when closed
        dialog->setInputText(current);
        QObject::connect(dialog, &MessageDialogInputPhoto::sigMessageboxInput, dialog, onInput);
        dialog->exec();
    };
    contactDetail->setPrompts(prompts);
    connect(contactDetail, &ListContactDetialWidget::sigEditContactSuccess, contactList,
            &ListContactWidget::slotEditContactSuccess);

    overlay = new QWidget(this);
    overlay->setObjectName(QStringLiteral("wgtOverlay"));
    overlay->setGeometry(0, 0, width(), height());
    overlay->setStyleSheet(QStringLiteral("background: rgba(51,51,51,0.30);"));
    overlay->hide();

    settingDialog = new SettingDialog(this);
    connect(settingDialog, &SettingDialog::sigLanguageChanged, this,
            &MainWindow::slotLanguageChanged);
    settingDialog->hide();

    noContactWidget = new NoContactWidget(ui->widgetContent);
    connect(noContactWidget, &NoContactWidget::sigBtnCreateClicked, this,
            &MainWindow::slotNoContactBtnCreateClicked);
    noContactWidget->move(690, 153);
    noContactWidget->hide();

    groupSelectPopup = new TreeGroupSelectWidget(this);
    connect(groupSelectPopup, &TreeGroupSelectWidget::sigSelectedGroup, this,
            &MainWindow::slotPopupSelectedGroup);
    groupSelectPopup->hide();

    httpServerPanel = new HttpServerSettingWidget(this);
    connect(httpServerPanel, &HttpServerSettingWidget::sigShowUrlFileDialog, this,
            &MainWindow::slotShowUrlFileDialog);
    httpServerPanel->hide();
    httpFileDialog = new HttpServerUrlFileDialog(this);
    httpFileDialog->hide();

    TipWidget::create(this);

    fileWorkflows = new FileWorkflows(this, this);
    fileWorkflows->setDirType(dirType);
    connect(fileWorkflows, &FileWorkflows::sigNewPhonebook, this, &MainWindow::startPhonebook);
    connect(fileWorkflows, &FileWorkflows::sigPhonebookLoaded, this,
            &MainWindow::showLoadedPhonebook);
    connect(fileWorkflows, &FileWorkflows::sigQuit, this, &QWidget::close);

    connect(CMessageDialogListManager::instance(), &CMessageDialogListManager::sigShowMessagebox,
            this, &MainWindow::slotShowMessagebox);
    // Connected before the stored switch is applied, so a failed listen at start-up is shown.
    connect(HttpServer::instance(), &HttpServer::sigListenFailed, this, [this] {
        TipWidget::showTip(HttpServer::listenFailedText(), TipWidget::Warning);
        showHttpSwitch(false);
    });

    addShortcuts();
    startPhonebook(dirType);
    setBatchMode(false);
    retranslate();
}

void MainWindow::addShortcuts()
{
    const auto add = [this](const QKeySequence &keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL + Qt::Key_N), [this] { on_btnNewFile_clicked(); });
    add(QKeySequence(Qt::CTRL + Qt::Key_O), [this] { on_btnImportFile_clicked(); });
    add(QKeySequence(Qt::CTRL + Qt::Key_H), [this] { on_btnHistory_clicked(); });
    add(QKeySequence(Qt::CTRL + Qt::Key_S), [this] {
        if (fileWorkflows)
            fileWorkflows->save();
    });
    add(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_S), [this] {
        if (fileWorkflows)
            fileWorkflows->saveAs();
    });
    add(QKeySequence(Qt::CTRL + Qt::Key_F), [this] {
        if (!ui->wgtSearchWidget->isVisible())
            return;
        ui->editSearchContact->setFocus(Qt::ShortcutFocusReason);
        ui->editSearchContact->selectAll();
    });
    add(QKeySequence(QKeySequence::Delete), [this] {
        if (ui->wgtContactBatch->isVisible())
            on_btnContactDelete_clicked();
        else if (contactList && ui->wgtContact->isVisible())
            contactList->deleteCurrentContact();
    });
    add(QKeySequence(Qt::Key_F2), [this] {
        if (groupTree)
            groupTree->renameCurrentGroup();
    });
    add(QKeySequence(Qt::Key_Escape), [this] {
        if (ui->wgtContactBatch->isVisible())
            setBatchMode(false);
    });
}

void MainWindow::startPhonebook(int kind)
{
    dirType = kind;
    if (contactList)
        contactList->setDirType(dirType);
    if (groupTree)
        groupTree->initGroupTree(dirType);
    updateGroupTitle();
}

void MainWindow::showLoadedPhonebook(int kind)
{
    dirType = kind;
    if (contactList)
        contactList->setDirType(dirType);
    if (groupTree)
        groupTree->loadGroupTree(dirType); // reports its first group, which loads the list
    updateGroupTitle();
}

void MainWindow::openFile(const QString &path)
{
    if (fileWorkflows)
        fileWorkflows->importPath(path);
}

namespace {
// The one local phonebook file a drag carries, or empty.
QString droppedPhonebook(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return QString();
    const QUrl url = mime->urls().constFirst();
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    const bool known = path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
                       path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    return known ? path : QString();
}
} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPhonebook(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedPhonebook(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // After the drop has returned: the import may ask a modal question first.
    QMetaObject::invokeMethod(this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (fileWorkflows && !fileWorkflows->mayClose())
        event->ignore();
    else
        event->accept();
}

void MainWindow::on_btnNewFile_clicked()
{
    if (fileWorkflows)
        fileWorkflows->newFile();
}

void MainWindow::on_btnImportFile_clicked()
{
    if (fileWorkflows)
        fileWorkflows->importFile();
}

void MainWindow::on_btnSaveFile_clicked()
{
    if (fileWorkflows)
        fileWorkflows->saveButton(ui->btnSaveFile);
}

void MainWindow::on_btnHistory_clicked()
{
    if (fileWorkflows)
        fileWorkflows->history();
}

void MainWindow::on_btnClose_clicked()
{
    if (fileWorkflows)
        fileWorkflows->close();
}

void MainWindow::updateGroupTitle()
{
    const QString kind = dirType == PhonebookManager::RemoteDir
                             ? Langtranslater::mark(QStringLiteral("Remote Group"))
                             : Langtranslater::mark(QStringLiteral("Local Group"));
    ui->labelGroupTitle->setText(
        kind + QStringLiteral(" (%1)").arg(PhonebookManager::contactCount(dirType, -1)));
}

void MainWindow::updateEmptyGroupPanel()
{
    if (!noContactWidget)
        return;
    if (!PhonebookManager::canHoldContacts(dirType, currentGroupId)) {
        ui->wgtContact->hide();
        noContactWidget->hide();
        return;
    }
    const bool empty = PhonebookManager::contactCount(dirType, currentGroupId) < 1;
    ui->wgtContact->setVisible(!empty);
    noContactWidget->setVisible(empty);
}

void MainWindow::refreshCounts()
{
    if (groupTree) {
        groupTree->updateContactCounts();
        updateGroupTitle();
    }
}

void MainWindow::setBatchMode(bool on)
{
    if (!contactList)
        return;
    if (on) {
        ui->labContactAllSelectIcon->setProperty("select", QStringLiteral("off"));
        repolish(ui->labContactAllSelectIcon);
    }
    ui->wgtContactBatch->setVisible(on);
    ui->wgtSearchWidget->setVisible(!on);
    contactList->setBatchState(on);
}

void MainWindow::retranslate()
{
    ui->editSearchContact->setPlaceholderText(
        Langtranslater::lookup(QStringLiteral("Search Contact")));
    ui->btnImportFile->setText(Langtranslater::lookup(QStringLiteral("Import file")));
    ui->btnNewFile->setText(Langtranslater::lookup(QStringLiteral("New File")));
    ui->btnSaveFile->setText(Langtranslater::lookup(QStringLiteral("Save File")));
    ui->btnHistory->setText(Langtranslater::lookup(QStringLiteral("History")));
    ui->btnSetting->setText(Langtranslater::lookup(QStringLiteral("Settings")));
    ui->labelHttpserver->setText(Langtranslater::lookup(QStringLiteral("Http-Server")));

    // Buttons that show only an image still say what they do.
    const auto describe = [](QPushButton *button, const QString &text) {
        button->setToolTip(text);
        button->setAccessibleName(text);
    };
    describe(ui->btnMinimize, Langtranslater::lookup(QStringLiteral("Minimize")));
    describe(ui->btnClose, Langtranslater::lookup(QStringLiteral("Close")));
    describe(ui->btnSwitchHttpserver,
             Langtranslater::lookup(QStringLiteral("Switch the HTTP server on or off")));
    describe(ui->btnShowHttpserver, Langtranslater::lookup(QStringLiteral("Http-Server Status:")));
    describe(ui->btnAddGroup, Langtranslater::lookup(QStringLiteral("Add Group")));
    describe(ui->btnAddContact, Langtranslater::lookup(QStringLiteral("Add Contact")));
    describe(ui->btnContactMore, Langtranslater::lookup(QStringLiteral("More")));

    if (contactDetail)
        contactDetail->retranslate();
    if (groupTree)
        groupTree->refreshBuiltinGroupNames();
}

void MainWindow::slotLanguageChanged(const QString &strLanguage)
{
    Q_UNUSED(strLanguage)
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->update();
    retranslate();
}

void MainWindow::slotShowMessagebox(bool bShow)
{
    if (overlay)
        overlay->setVisible(bShow);
}

void MainWindow::slotSelectedGroupChanged(int nGroupId)
{
    if (!contactList)
        return;
    currentGroupId = nGroupId;
    ui->editSearchContact->clear();
    setBatchMode(false);
    contactList->setDirType(dirType);
    contactList->loadGroup(currentGroupId);
    updateEmptyGroupPanel();
    updateGroupTitle(); // a deleted group may have taken contacts with it
}

void MainWindow::slotContactCountChanged(int nSize)
{
    Q_UNUSED(nSize)
    updateEmptyGroupPanel();
    refreshCounts();
    if (contactDetail)
        contactDetail->refresh();
}

void MainWindow::slotContactCurRowChanged(int nRow)
{
    if (!contactList || !contactDetail)
        return;
    contactDetail->showContact(dirType, contactList->contactIdAt(nRow), currentGroupId,
                               addingContact);
}

void MainWindow::on_btnAddContact_clicked()
{
    if (!contactList)
        return;
    ui->editSearchContact->clear();
    addingContact = true;
    const PhonebookResult result = contactList->addContact();
    addingContact = false;
    if (result == PhonebookResult::LimitReached)
        MessageboxDialog::showMessage(
            this, Langtranslater::mark(QStringLiteral("Note")),
            Langtranslater::mark(
                QStringLiteral("Sorry, the number of contacts has reached the maximum value!")),
            QDialogButtonBox::Ok);
    updateEmptyGroupPanel();
    refreshCounts();
}

void MainWindow::slotNoContactBtnCreateClicked()
{
    on_btnAddContact_clicked();
    setBatchMode(false);
}

void MainWindow::on_editSearchContact_textChanged(const QString &arg1)
{
    if (contactList)
        contactList->searchContacts(arg1);
}

void MainWindow::on_btnContactAllSelect_clicked()
{
    if (contactList)
        contactList->setAllSelect(!contactList->isAllSelected());
}

void MainWindow::on_btnContactDelete_clicked()
{
    if (contactList)
        contactList->deleteSelectedContacts();
}

void MainWindow::slotPopupSelectedGroup(int nGroupId)
{
    if (contactList)
        contactList->moveSelectedContacts(nGroupId);
}

void MainWindow::on_btnSetting_clicked()
{
    if (settingDialog)
        settingDialog->showDialog();
}

void MainWindow::on_btnShowHttpserver_clicked()
{
    if (!httpServerPanel)
        return;
    httpServerPanel->move(mapToGlobal(QPoint(1056, 81)));
    httpServerPanel->show();
    httpServerPanel->Refresh();
}

void MainWindow::slotShowUrlFileDialog(bool bShow)
{
    Q_UNUSED(bShow)
    if (!httpFileDialog)
        return;
    httpFileDialog->RefreshFileList();
    httpFileDialog->show();
}

void MainWindow::slotContactSetting()
{
    auto *dialog = new MessageboxDialogContactSetting(this); // deletes itself when closed
    connect(dialog, &MessageboxDialogContactSetting::sigContactSettingChanged, this,
            &MainWindow::slotContactSettingChanged);
    dialog->exec();
}

void MainWindow::slotContactSettingChanged()
{
    if (contactDetail)
        contactDetail->refresh();
}

void MainWindow::slotContactBatch()
{
    setBatchMode(true);
}

void MainWindow::slotContactAllSelect(bool bAllSelect)
{
    ui->labContactAllSelectIcon->setProperty("select", bAllSelect ? QStringLiteral("all")
                                                                  : QStringLiteral("off"));
    repolish(ui->labContactAllSelectIcon);
}

void MainWindow::on_btnAddGroup_clicked()
{
    if (groupTree)
        groupTree->addGroup();
}

void MainWindow::on_btnContactMore_clicked()
{
    qvMenu menu(this, QStringLiteral("qvMenu"));
    if (dirType == PhonebookManager::RemoteDir) {
        QWidgetAction *settings =
            menu.AddTextAction(Langtranslater::lookup(QStringLiteral("Contact Settings")));
        connect(settings, &QAction::triggered, this, &MainWindow::slotContactSetting);
    }
    QWidgetAction *batch =
        menu.AddTextAction(Langtranslater::lookup(QStringLiteral("Batch Operation")));
    connect(batch, &QAction::triggered, this, &MainWindow::slotContactBatch);
    menu.exec(QCursor::pos());
}

void MainWindow::on_btnContactMoveto_clicked()
{
    if (!groupSelectPopup)
        return;
    groupSelectPopup->prepareForDirType(dirType);
    groupSelectPopup->move(mapToGlobal(QPoint(450, 160)));
    groupSelectPopup->show();
}

void MainWindow::on_btnContactBathCancle_clicked()
{
    setBatchMode(false);
}

void MainWindow::on_btnMinimize_clicked()
{
    showMinimized();
}

void MainWindow::on_btnSwitchHttpserver_clicked()
{
    // What the user saw: a server that failed to listen shows Off, so a click tries again.
    const bool wasOn = HttpServer::instance()->isListening();
    const bool done = applyHttpSwitch(!wasOn);
    if (wasOn)
        TipWidget::showTip(
            Langtranslater::lookup(QStringLiteral("Closed the HTTP server successfully!")),
            TipWidget::Success);
    else if (done)
        TipWidget::showTip(
            Langtranslater::lookup(QStringLiteral("Opened the HTTP server successfully!")),
            TipWidget::Success);
    // A failed listen has already shown its warning.
}

bool MainWindow::applyHttpSwitch(bool open)
{
    qDebug() << "Set HttpServer Open:" << open;
    HttpServer *server = HttpServer::instance();
    if (open) {
        Config *config = Config::instance();
        const QString storedIp = config->value(userGroup, QStringLiteral("ip")).toString();
        const QString currentIp = server->localIp();
        if (storedIp != currentIp) {
            config->setValue(userGroup, QStringLiteral("ip"), currentIp);
            PhonebookManager::updateTargetFileUrl(currentIp, server->port());
        }
    }
    server->setOpen(open);
    if (open && !server->isListening())
        server->setOpen(false); // the switch, the panel and the settings all say Off
    showHttpSwitch(server->isListening());
    return !open || server->isListening();
}

void MainWindow::showHttpSwitch(bool on)
{
    ui->btnSwitchHttpserver->setProperty("switch",
                                         on ? QStringLiteral("on") : QStringLiteral("off"));
    repolish(ui->btnSwitchHttpserver);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (contactList && watched == contactList->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            contactPressPos = static_cast<QMouseEvent *>(event)->pos();
        } else if (event->type() == QEvent::MouseMove) {
            const auto *move = static_cast<QMouseEvent *>(event);
            // In batch mode the ticked contacts travel, otherwise the current one.
            const bool batch = contactList->batchState();
            const bool something = batch ? !contactList->selectedContactIds().isEmpty()
                                         : contactList->currentRow() >= 0;
            if ((move->buttons() & Qt::LeftButton) && something &&
                (move->pos() - contactPressPos).manhattanLength() >=
                    QApplication::startDragDistance()) {
                auto *drag = new QDrag(contactList); // deleted by Qt when the drag ends
                auto *data = new QMimeData;
                data->setData(contactDragFormat(), batch ? QByteArray() : currentContactDrag());
                drag->setMimeData(data);
                drag->exec(Qt::MoveAction);
                return true;
            }
        }
    } else if (groupTree && watched == groupTree->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDragMoveEvent *>(event);
            if (drag->mimeData()->hasFormat(contactDragFormat()) && dropGroupAt(drag->pos()) >= 0)
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const int group = dropGroupAt(drop->pos());
            if (!drop->mimeData()->hasFormat(contactDragFormat()) || group < 0 || !contactList)
                return true;
            drop->acceptProposedAction();
            // Both ask, move and report as "Move to" does.
            if (drop->mimeData()->data(contactDragFormat()) == currentContactDrag())
                contactList->moveCurrentContact(group);
            else
                contactList->moveSelectedContacts(group);
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QByteArray MainWindow::currentContactDrag()
{
    return QByteArrayLiteral("current");
}

int MainWindow::dropGroupAt(const QPoint &pos) const
{
    QTreeWidgetItem *row = groupTree ? groupTree->itemAt(pos) : nullptr;
    if (!row || !groupTree->GetModel())
        return -1;
    const QVariant value = groupTree->GetModel()->GetData(groupTree->GetModelIndex(row));
    if (!value.canConvert<uiGroupItemData>())
        return -1;
    const int group = value.value<uiGroupItemData>().nGroupId;
    return PhonebookManager::canHoldContacts(dirType, group) ? group : -1;
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (ui->wgtTitle->geometry().contains(mapFromGlobal(event->globalPos()))) {
        dragging = true;
        dragStartX = event->globalX();
        dragStartY = event->globalY();
    }
    grabMouse();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging || !isActiveWindow())
        return;
    move(pos() + QPoint(event->globalX() - dragStartX, event->globalY() - dragStartY));
    dragStartX = event->globalX();
    dragStartY = event->globalY();
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    dragging = false;
    releaseMouse();
}
