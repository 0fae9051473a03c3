#include "ui/grouptree/treegroupitem.h"

#include "data/phonebookmanager.h"
#include "dialogs/tipwidget.h"
#include "shell/langtranslater.h"
#include "ui/grouptree/uieditgroupdata.h"
#include "ui/grouptree/uigroupitemdata.h"

#include <QDebug>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

void showWarning(const QString &displayText)
{
    TipWidget::showTip(displayText, TipWidget::Warning);
}

} // namespace

TreeGroupItem::TreeGroupItem(QWidget *parent, const QString &objectName)
    : qvViewItemWidget(parent, objectName)
{
    uiGroupItemData::registerMetaType();
    uiEditGroupData::registerMetaType();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 0);
    layout->setSpacing(1);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    labelImagerGruop = new QLabel(this);
    labelImagerGruop->setObjectName(QStringLiteral("labelImagerGruop"));
    labelImagerGruop->setFixedSize(20, 20);

    labelGruopName = new QLabel(this);
    labelGruopName->setObjectName(QStringLiteral("labelGruopName"));
    labelGruopName->setFixedHeight(32);
    // Long names give way (the style cuts them with "...") so that the count stays in view.
    labelGruopName->setMinimumWidth(1);

    labelContactCount = new QLabel(this);
    labelContactCount->setObjectName(QStringLiteral("labelContactCount"));
    labelContactCount->setFixedHeight(32);

    editGruopName = new QLineEdit(this);
    editGruopName->setObjectName(QStringLiteral("editGruopName"));
    editGruopName->setMaxLength(MaxNameLength);
    editGruopName->setFocusPolicy(Qt::NoFocus);
    editGruopName->setFixedHeight(30);
    editGruopName->hide();
    editGruopName->installEventFilter(this);

    btnMore = new QPushButton(this);
    btnMore->setObjectName(QStringLiteral("btnMore"));
    btnMore->setFixedSize(20, 20);
    btnMore->setFocusPolicy(Qt::NoFocus);
    btnMore->setCursor(Qt::PointingHandCursor);
    btnMore->hide();
    connect(btnMore, SIGNAL(clicked()), this, SLOT(slotMoreBtnClick()));

    layout->addWidget(labelImagerGruop);
    layout->addWidget(labelGruopName);
    layout->addWidget(labelContactCount);
    layout->addWidget(editGruopName, 1);
    layout->addStretch();
    layout->addWidget(btnMore);
}

bool TreeGroupItem::SetData(const QVariant &data)
{
    if (!data.canConvert<uiGroupItemData>())
        return true;
    const uiGroupItemData item = data.value<uiGroupItemData>();
    m_groupId = item.nGroupId;
    m_dirType = item.nDirType;
    m_name = item.strGroupName;
    m_contactCount = item.nContactCount;
    showName();
    btnMore->setVisible(m_current && isEditable());
    // A rename in progress keeps what the user typed so far.
    if (item.bEditing && m_editing)
        return true;
    editGruopName->setText(m_name);
    setEditing(item.bEditing, true);
    return true;
}

bool TreeGroupItem::SetSelectStatus(const bool &isCurrent)
{
    m_current = isCurrent;
    btnMore->setVisible(m_current && isEditable());
    return true;
}

void TreeGroupItem::OnRelease()
{
    commitRename();
}

void TreeGroupItem::showName()
{
    m_displayName = Langtranslater::resolve(m_name);
    labelGruopName->setText(m_displayName);
    labelContactCount->setText(QStringLiteral("(%1)").arg(m_contactCount));
}

bool TreeGroupItem::isEditable() const
{
    return m_groupId >= 0 && PhonebookManager::isGroupEditable(m_dirType, m_groupId);
}

void TreeGroupItem::setEditing(bool editing, bool force)
{
    if (editing == m_editing && !force)
        return;
    if (!isEditable())
        return;
    m_editing = editing;
    showEditor(editing);
}

void TreeGroupItem::showEditor(bool editing)
{
    if (editing) {
        labelGruopName->hide();
        labelContactCount->hide();
        editGruopName->show();
        editGruopName->setFocus(Qt::OtherFocusReason);
        QTimer::singleShot(0, editGruopName, [edit = editGruopName] { edit->selectAll(); });
    } else {
        editGruopName->hide();
        labelGruopName->show();
        labelContactCount->show();
    }
}

void TreeGroupItem::commitRename()
{
    if (!m_editing)
        return;
    // Left first: hiding the focused edit below sends a focus-out that must not commit again.
    m_editing = false;
    const QString text = editGruopName->text();
    const PhonebookResult result = PhonebookManager::updateGroup(m_dirType, m_groupId, text);
    qDebug() << "Update GroupName"
             << "result:" << static_cast<int>(result);
    if (result == PhonebookResult::Done) {
        m_name = text;
    } else {
        editGruopName->setText(m_name);
        if (result == PhonebookResult::NameTaken)
            showWarning(
                Langtranslater::lookup(QStringLiteral("Cannot save group with the same name!")));
        else if (result == PhonebookResult::EmptyName)
            showWarning(Langtranslater::lookup(QStringLiteral("Name cannot be empty!")));
    }
    showName();
    // Reported after a failure too, with the name the store kept: the pane must stop asking
    // for rename mode whenever it applies the row's value again.
    uiEditGroupData report;
    report.nOperation = uiEditGroupData::RenameCommitted;
    report.nGroupId = m_groupId;
    report.strGroupName = m_name;
    emit UserOperationIndexSignals(GetModelIndex(), QVariant::fromValue(report));
    if (!m_editing)
        showEditor(false);
}

void TreeGroupItem::setCurrentRow(bool current)
{
    SetSelectStatus(current);
    if (!current)
        commitRename();
}

void TreeGroupItem::slotMoreBtnClick()
{
    uiEditGroupData report;
    report.nOperation = uiEditGroupData::MorePressed;
    report.nGroupId = m_groupId;
    emit UserOperationIndexSignals(GetModelIndex(), QVariant::fromValue(report));
}

bool TreeGroupItem::eventFilter(QObject *watched, QEvent *event)
{
    // A popup (the edit's own context menu) takes the focus only for a while.
    if (watched == editGruopName && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        commitRename();
    return qvViewItemWidget::eventFilter(watched, event);
}

void TreeGroupItem::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    qvViewItemWidget::mousePressEvent(event);
}

void TreeGroupItem::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The base handling runs the press handling again, which takes the focus to the row; the
    // edit must get it after that.
    qvViewItemWidget::mouseDoubleClickEvent(event);
    setEditing(true, false);
}

void TreeGroupItem::keyPressEvent(QKeyEvent *event)
{
    // Only the main Return key commits; keypad Enter does not.
    if (event->key() == Qt::Key_Return) {
        commitRename();
        event->accept();
        return;
    }
    qvViewItemWidget::keyPressEvent(event);
}
