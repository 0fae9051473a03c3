#pragma once

#include "widgets/qvmodelindex.h"
#include "widgets/qvtreewidget.h"

#include <QPersistentModelIndex>
#include <QVariant>

#include <memory>

class GroupTreeItemDelegate;
class QPoint;
class QTreeWidgetItem;
struct RemoteGroup;
class qvTreeDataModel;
class qvTreeItem;
struct uiGroupItemData;

// The group tree pane: the groups of the open phonebook with their contact counts, flat for a
// local phonebook and as menus and directories for a remote one. The user selects, adds,
// renames and deletes groups here; every change goes through the data manager or the stores,
// and the selection is reported with sigSelectedGroupChanged. Rows in view carry a
// TreeGroupItem; the pane itself reads group ids from the model, never from row widgets.
class TreeGroupWidget : public qvTreeWidget
{
    Q_OBJECT
public:
    explicit TreeGroupWidget(QWidget *parent = nullptr);
    ~TreeGroupWidget() override;

    // Resets the store of that kind to its default groups, then rebuilds as loadGroupTree.
    void initGroupTree(int dirType);
    // Rebuilds every row from the store of that kind and makes the first row current.
    void loadGroupTree(int dirType);
    // A new top-level group, current and in rename mode.
    void addGroup();
    // A new group under a remote menu, current and in rename mode; nothing for a local
    // phonebook.
    void addSubGroup(int parentGroupId);
    // Puts the current group's row into rename mode; built-in groups stay as they are.
    void renameCurrentGroup();
    // Replaces every row's count with the data manager's, changing only rows that differ.
    void updateContactCounts();
    // Applies the built-in local rows again so that their names follow the language.
    void refreshBuiltinGroupNames();

    int dirType() const { return m_dirType; }
    // The row of the group, searched depth first; invalid when there is none.
    qvModelIndex findGroupIndex(int groupId) const;
    // The group of the current row, from the model; -1 when no row is current.
    int currentGroupId() const;

signals:
    void sigSelectedGroupChanged(int nGroupId);

private slots:
    void slotItemClicked(const QModelIndex &index);
    void slotCurrentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void slotItemUserOperationIndex(const qvModelIndex &index, const QVariant &data);
    void slotCustomContextMenu(const QPoint &pos);
    void slotNewGroup();
    void slotDeleteGroup();

private:
    uiGroupItemData rowData(const qvModelIndex &index) const;
    int groupIdOf(QTreeWidgetItem *row) const;
    void clearModel();
    void loadLocal();
    void loadRemote();
    void addRemoteChildren(qvTreeItem *item, const RemoteGroup *group);
    // Expands everything and makes the first row current (reported even when there is none).
    void finishLoad();
    // Brings the new row into view and makes it current, so that it shows in rename mode.
    void selectNewRow(const qvModelIndex &index);
    void showGroupMenu(int groupId);
    // The row that takes over when row goes: next sibling, else previous, else parent.
    QTreeWidgetItem *successorOf(QTreeWidgetItem *row) const;
    // Reports the current row's group unless it is the one reported last.
    void reportCurrentGroup();

    std::unique_ptr<qvTreeDataModel> m_model;
    std::unique_ptr<GroupTreeItemDelegate> m_delegate;
    int m_dirType = 1;
    int m_menuGroupId = -1;
    QPersistentModelIndex m_lastClicked;
    int m_reportedGroupId = -1;
    // While rows are rebuilt or removed the view's and the model's paths disagree; current-row
    // changes seen then are settled afterwards.
    bool m_restructuring = false;
};
