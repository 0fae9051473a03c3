#pragma once

#include <QWidget>

#include <memory>

class GroupTreeSelectItemDelegate;
class QTreeWidgetItem;
class qvTreeDataModel;
class qvTreeItem;
class qvTreeWidget;
struct RemoteGroup;

// The "Move to" target chooser: a frameless popup listing the open phonebook's groups as a tree.
// Groups that cannot take contacts are greyed and cannot be picked. The owner keeps one instance
// hidden between uses and, for every use, calls prepareForDirType, moves it and shows it; a
// picked group is reported by sigSelectedGroup and hides the popup. A click outside closes it
// without a signal. Shown where it would run off the screen, it opens to the left of and above
// its point instead, as menus do.
class TreeGroupSelectWidget : public QWidget
{
    Q_OBJECT
public:
    // Fixed row height of the tree; the popup's height follows from it.
    static constexpr int RowHeight = 38;
    // Rows shown without scrolling.
    static constexpr int MaxVisibleRows = 7;

    explicit TreeGroupSelectWidget(QWidget *parent = nullptr);
    ~TreeGroupSelectWidget() override;

    // Refills the rows from the store of the kind (1 local, 2 remote; any other kind gives no
    // rows) and fits the height: n rows below 7 give n x 38 + 15 pixels, otherwise 281. No row
    // is current afterwards.
    void prepareForDirType(int dirType);

    int dirType() const { return m_dirType; }
    qvTreeWidget *treeWidget() const { return m_tree; }
    QWidget *backgroundWidget() const { return WgetBackground; }

signals:
    // The user picked a group that can take contacts; the popup is already hidden.
    void sigSelectedGroup(int nGroupId);

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void slotCurrentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);

private:
    void fillLocal();
    void fillRemote();
    // Adds the sub-groups of a menu below item; false when a listed group is missing, which
    // ends the whole fill.
    bool addRemoteChildren(const RemoteGroup &group, qvTreeItem *item);
    void fitHeight(int rows);

    int m_dirType = 1;
    int m_rowCount = 0; // rows of the last fill, at every depth
    std::unique_ptr<qvTreeDataModel> m_model;
    std::unique_ptr<GroupTreeSelectItemDelegate> m_delegate;
    QWidget *WgetBackground = nullptr; // owned via Qt parent
    qvTreeWidget *m_tree = nullptr;    // owned via Qt parent
};
