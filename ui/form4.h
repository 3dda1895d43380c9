#pragma once

#include "platform/file_system.h"
#include "ui/fixed_dialog.h"

#include <QComboBox>
#include <QListWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

// The drive list: the drives of the computer, read afresh whenever it drops down.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget *parent = nullptr);

    // Replaces the entries without a change event. The drive shown stays shown, and stays
    // listed even if it has gone.
    void setDrives(QList<platform::Drive> drives);
    void selectDriveOf(const QString &folder);
    platform::Drive drive() const;
    QStringList roots() const;

protected:
    void showPopup() override;

private:
    QList<platform::Drive> m_drives;
};

// The folder list: the folders from a drive's root down to the current folder, each a step
// further in, then the current folder's subfolders. Double-click or Enter opens a folder; a
// single click only selects it.
class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // The folder the list starts at: the root of the drive it was opened on.
    QString root() const { return m_root; }
    void setPath(const QString &folder, const QString &root, const QStringList &subfolders);
    QString folderAt(int row) const;

signals:
    void folderOpened(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void addFolder(const QString &text, const QString &folder, int depth, const QIcon &icon);

    QString m_path;
    QString m_root;
};

// The file list: the files of one folder that match its pattern, none selected at first.
class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget *parent = nullptr);

    QString pattern() const;
    QString path() const { return m_path; }
    void setFolder(const QString &folder, const QStringList &names);
    // The selected file's name, empty when none is selected.
    QString fileName() const;

protected:
    // A click always leaves the clicked file selected, a Ctrl+click on the selected one too,
    // and a click beside every file leaves the selection as it was.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    QString m_path;
};

// "Valitse kuvatiedosto": browses drives, folders and the JPEG and GIF files of a folder. Its
// result is the path in `tiedosto`, and whether the user left it with "Avaa" (Accepted). Closed
// from its title bar it is thrown away, and the next showing starts afresh in the start folder.
class Form4 : public DiscardableDialog {
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

    // The controls, named as the program calls them.
    DriveList *Drive1() const { return m_Drive1; }
    FolderList *Dir1() const { return m_Dir1; }
    FileList *File1() const { return m_File1; }
    QLineEdit *Text1() const { return m_Text1; }
    QGroupBox *Frame1() const { return m_Frame1; }
    QLineEdit *tiedosto() const { return m_tiedosto; }
    QGroupBox *Frame2() const { return m_Frame2; }
    QPushButton *avaa() const { return m_avaa; }
    QPushButton *peruuta() const { return m_peruuta; }

    // Puts the current folder and the selected file, if any, together in `tiedosto`.
    void subbi();
    void Drive1_Change();
    // The user opened |folder| in the folder list.
    void Dir1_Change(const QString &folder);
    void File1_Click();
    void avaa_Click();
    void peruuta_Click();

private:
    DriveList *m_Drive1 = nullptr;
    FolderList *m_Dir1 = nullptr;
    FileList *m_File1 = nullptr;
    QLineEdit *m_Text1 = nullptr;
    QGroupBox *m_Frame1 = nullptr;
    QLineEdit *m_tiedosto = nullptr;
    QGroupBox *m_Frame2 = nullptr;
    QPushButton *m_avaa = nullptr;
    QPushButton *m_peruuta = nullptr;

    // Runs once, when the chooser is made: the start folder, and the pattern on show.
    void Form_Load();
    QString changeFolder(const QString &folder, const QString &root);
    // The folder a drive opens at: the start folder on its own drive, the root on the others,
    // since nothing in the program moves a drive's current folder.
    QString currentFolderOf(const platform::Drive &drive) const;

    // The working folder of the process when the chooser was made.
    QString m_startFolder;
};

// The picture chooser of the process, created on first use.
Form4 &form4();

} // namespace zorvik::ui
