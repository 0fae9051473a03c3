#include "ui/groupselect/treegroupselectwidget.h"

#include "data/localdirectory.h"
#include "data/localgroup.h"
#include "data/phonebookmanager.h"
#include "data/remotedirectory.h"
#include "data/remotegroup.h"
#include "ui/groupselect/grouptreeselectitemdelegate.h"
#include "ui/groupselect/uigroupselectitemdata.h"
#include "widgets/qvtreedatamodel.h"
#include "widgets/qvtreeitem.h"
#include "widgets/qvtreewidget.h"

#include <QDebug>
#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QList>
#include <QScreen>
#include <QShowEvent>

namespace {
constexpr int PopupWidth = 300;
constexpr int BackgroundMargin = 5; // popup edge to the card, room for the shadow
constexpr int BackgroundWidth = 287;
constexpr int TreeLeft = 2;
constexpr int TreeTop = 3;
constexpr int TreeWidth = 284;
constexpr int TreeMaxHeight =
    TreeGroupSelectWidget::RowHeight * TreeGroupSelectWidget::MaxVisibleRows;

QString readStyleSheet(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

qvTreeItem *newRow(int groupId, const QString &name, int dirType, bool selectable, int &rowCount)
{
    ++rowCount;
    uiGroupSelectItemData row;
    row.nGroupId = groupId;
    row.strGroupName = name;
    row.nDirType = dirType;
    row.bSelectable = selectable;
    return new qvTreeItem(QVariant::fromValue(row));
}

} // namespace

TreeGroupSelectWidget::TreeGroupSelectWidget(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      m_model(std::make_unique<qvTreeDataModel>()),
      m_delegate(std::make_unique<GroupTreeSelectItemDelegate>())
{
    uiGroupSelectItemData::registerMetaType();
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(PopupWidth, 290);
    // The popup carries its own looks, so it is right wherever it is shown; the application-wide
    // sheets hold the same rules.
    setStyleSheet(readStyleSheet(QStringLiteral(":/qss/TreeGroupSelectWidget.qss")) +
                  readStyleSheet(QStringLiteral(":/qss/TreeGroupSelectItem.qss")));

    WgetBackground = new QWidget(this);
    WgetBackground->setObjectName(QStringLiteral("WgetBackground"));
    WgetBackground->setAttribute(Qt::WA_StyledBackground);
    WgetBackground->setGeometry(BackgroundMargin, BackgroundMargin, BackgroundWidth, 270);
    auto *shadow = new QGraphicsDropShadowEffect(WgetBackground);
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(10);
    WgetBackground->setGraphicsEffect(shadow);

    m_tree = new qvTreeWidget(WgetBackground, QStringLiteral("TreeGroupSelectWidget"));
    m_tree->setGeometry(TreeLeft, TreeTop, TreeWidth, TreeMaxHeight);
    m_tree->setHeaderHidden(true);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setFocusPolicy(Qt::NoFocus);
    m_tree->setIndentation(16);
    m_tree->SetModel(m_model.get());
    m_tree->SetDelegate(m_delegate.get());
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            &TreeGroupSelectWidget::slotCurrentItemChanged);
    // Row heights come from the style sheet; have them before the first fill.
    ensurePolished();
    m_tree->ensurePolished();
}

TreeGroupSelectWidget::~TreeGroupSelectWidget()
{
    // The tree lets go of its rows before the model and the delegate go.
    delete m_tree;
    m_tree = nullptr;
}

void TreeGroupSelectWidget::prepareForDirType(int dirType)
{
    m_dirType = dirType;
    const QList<qvTreeItem *> old = m_model->TakeAllItems();
    qDeleteAll(old);
    m_rowCount = 0;
    // One relayout for the whole fill instead of one per group.
    emit m_model->SetUpdateStatusSignal(false);
    if (dirType == PhonebookManager::LocalDir)
        fillLocal();
    else if (dirType == PhonebookManager::RemoteDir)
        fillRemote();
    emit m_model->SetUpdateStatusSignal(true);
    fitHeight(m_rowCount); // first, so that the expansion fills the final viewport
    m_tree->ExpandAll();
}

void TreeGroupSelectWidget::fillLocal()
{
    const QList<LocalGroup *> groups = LocalDirectory::instance().groups();
    for (const LocalGroup *group : groups)
        m_model->AppendTopLevelItem(newRow(group->id, group->name, m_dirType, true, m_rowCount));
}

void TreeGroupSelectWidget::fillRemote()
{
    RemoteDirectory &store = RemoteDirectory::instance();
    const RemoteGroup *root = store.findGroup(0);
    if (!root)
        return;
    for (int id : root->childIds) {
        const RemoteGroup *group = store.findGroup(id);
        if (!group)
            return;
        auto *item = newRow(group->id, group->name, m_dirType,
                            PhonebookManager::canHoldContacts(m_dirType, group->id), m_rowCount);
        const bool complete = addRemoteChildren(*group, item);
        // The subtree goes in whole, so the tree builds its rows once.
        m_model->AppendTopLevelItem(item);
        if (!complete)
            return;
    }
}

bool TreeGroupSelectWidget::addRemoteChildren(const RemoteGroup &group, qvTreeItem *item)
{
    if (!group.isMenu)
        return true;
    RemoteDirectory &store = RemoteDirectory::instance();
    for (int id : group.childIds) {
        const RemoteGroup *child = store.findGroup(id);
        if (!child)
            return false;
        auto *childItem =
            newRow(child->id, child->name, m_dirType,
                   PhonebookManager::canHoldContacts(m_dirType, child->id), m_rowCount);
        item->AddChild(childItem);
        if (!addRemoteChildren(*child, childItem))
            return false;
    }
    return true;
}

void TreeGroupSelectWidget::fitHeight(int rows)
{
    const int treeHeight = rows < MaxVisibleRows ? rows * RowHeight : TreeMaxHeight;
    // Card: the rows plus 5 px; popup: the card plus 10 px for its shadow.
    const int backgroundHeight = treeHeight + 5;
    WgetBackground->resize(BackgroundWidth, backgroundHeight);
    m_tree->resize(TreeWidth, treeHeight);
    setFixedSize(PopupWidth, backgroundHeight + 2 * BackgroundMargin);
}

void TreeGroupSelectWidget::showEvent(QShowEvent *event)
{
    // Opened near a screen edge, like a menu: to the left of the point when it would run off
    // the right edge, above it when it would run off the bottom.
    const QScreen *screen = QGuiApplication::screenAt(pos());
    if (!screen)
        screen = this->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        QPoint at = pos();
        if (at.x() + width() > area.right() + 1)
            at.setX(qMax(area.left(), at.x() - width()));
        if (at.y() + height() > area.bottom() + 1)
            at.setY(qMax(area.top(), at.y() - height()));
        if (at != pos())
            move(at);
    }
    QWidget::showEvent(event);
}

void TreeGroupSelectWidget::slotCurrentItemChanged(QTreeWidgetItem *current,
                                                   QTreeWidgetItem *previous)
{
    Q_UNUSED(previous)
    if (!current)
        return;
    // From the model, not the row widget: the row's value is there whether or not it is in view.
    const QVariant data = m_model->GetData(m_tree->GetModelIndex(current));
    if (data.userType() != qMetaTypeId<uiGroupSelectItemData>())
        return;
    const auto row = data.value<uiGroupSelectItemData>();
    qDebug() << "Select Group Id:" << row.nGroupId;
    if (!PhonebookManager::canHoldContacts(m_dirType, row.nGroupId))
        return;
    // Hidden first: whatever the owner does next (a note, a toast) must not sit under a popup
    // that still grabs the mouse.
    hide();
    emit sigSelectedGroup(row.nGroupId);
}
