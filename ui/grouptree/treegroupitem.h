#pragma once

#include "widgets/qvviewitemwidget.h"

#include <QString>
#include <QVariant>

class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;

// The widget of one group tree row: icon, name, contact count, an inline rename edit and the
// "more" button. It exists only while its row is in view; everything it changes goes to the
// store through the data manager, and what the pane must know it reports with
// UserOperationIndexSignals carrying a uiEditGroupData.
class TreeGroupItem : public qvViewItemWidget
{
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 128;

    explicit TreeGroupItem(QWidget *parent = nullptr,
                           const QString &objectName = QStringLiteral("qvViewItemWidget"));

    // Applies a uiGroupItemData; other values are ignored. Always true: the child widgets are
    // built by the constructor.
    bool SetData(const QVariant &data) override;
    // Shows the "more" button on the current row of an editable group.
    bool SetSelectStatus(const bool &isCurrent) override;
    // A rename in progress is committed before the row loses its widget.
    void OnRelease() override;

    // Enters or leaves rename mode; nothing for a group that cannot be edited, nor when the
    // state is already the requested one unless force is set.
    void setEditing(bool editing, bool force);
    // Stores the edit's text as the group's name (only while renaming), tells the pane the name
    // the group now has, and leaves rename mode.
    void commitRename();
    // The row became (true) or stopped being (false) the current row; leaving commits a rename.
    void setCurrentRow(bool current);

    int groupId() const { return m_groupId; }
    bool isEditing() const { return m_editing; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void slotMoreBtnClick();

private:
    bool isEditable() const;
    void showName();
    // Shows the edit instead of the name and count, or the other way round.
    void showEditor(bool editing);

    int m_groupId = -1;
    int m_dirType = 0;
    bool m_editing = false;
    bool m_current = false;
    QString m_name;        // as stored
    QString m_displayName; // in the current language
    int m_contactCount = 0;

    QLabel *labelImagerGruop = nullptr;  // owned via Qt parent
    QLabel *labelGruopName = nullptr;    // owned via Qt parent
    QLabel *labelContactCount = nullptr; // owned via Qt parent
    QLineEdit *editGruopName = nullptr;  // owned via Qt parent
    QPushButton *btnMore = nullptr;      // owned via Qt parent
};
