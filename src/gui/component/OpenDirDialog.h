#pragma once

#include "FindForm.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

// The folder window of TOpenDirDialog: a list of drives (mounted file systems) above the folder tree, a
// button that moves the selection one line up, and the selected folder's path.
class TDirOpenForm : public QDialog
{
    Q_OBJECT
public:
    explicit TDirOpenForm(QWidget* parent = nullptr);

    QComboBox* DriveComboBox1() const { return m_drives; }
    QTreeView* DirectoryListBox1() const { return m_tree; }
    QLineEdit* Edit1() const { return m_path; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CloseButton() const { return m_close; }
    QPushButton* UpButton() const { return m_up; }

    // Selects a folder in the tree (and its drive).
    void selectFolder(const QString& path);
    QString selectedFolder() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void driveChosen(int index);
    void moveUp();
    void refreshPath();
    void confirm();

    QComboBox* m_drives;
    QTreeView* m_tree;
    QFileSystemModel* m_model;
    QLineEdit* m_path;
    QPushButton* m_up;
    QPushButton* m_ok;
    QPushButton* m_close;
};

// Asks for a folder. The window is kept for the component's lifetime, so a second Execute starts where
// the first ended.
class TOpenDirDialog : public QObject
{
    Q_OBJECT
public:
    enum TDialogType
    {
        Open,
        Save
    };

    explicit TOpenDirDialog(QObject* parent = nullptr);
    ~TOpenDirDialog() override;

    TLanguage Language = TLanguage::GB;
    TDialogType DialogType = Open;

    bool Execute();
    // The chosen folder, trimmed, always ending in "/".
    QString FolderName() const;
    TDirOpenForm* form();
    // The caption and font Execute gives the window.
    void prepare();

private:
    QPointer<TDirOpenForm> m_form;
    QString m_folder;
};
