#include "ui/form4.h"

#include "platform/message_box.h"
#include "platform/twips.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace zorvik::ui {

using platform::twipsRect;

namespace {

const QString picturePattern = QStringLiteral("*.jpeg;*.jpg;*.gif");

constexpr int folderRole = Qt::UserRole;
constexpr int depthRole = Qt::UserRole + 1;

// Shifts each folder of the folder list right by its depth below the drive's root.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex &index)
    {
        return index.data(depthRole).toInt() * platform::pixels(165);
    }
};

// Folders are kept in Qt's form, with "/" between names, whatever the platform.
QString joined(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

} // namespace

DriveList::DriveList(QWidget *parent) : QComboBox(parent) {}

void DriveList::setDrives(QList<platform::Drive> drives)
{
    const QSignalBlocker blocker(this);
    QString shownRoot;
    if (currentIndex() >= 0) {
        const platform::Drive shown = m_drives.at(currentIndex());
        shownRoot = shown.root;
        const auto listed = [&](const platform::Drive &d) { return d.root == shown.root; };
        if (std::none_of(drives.cbegin(), drives.cend(), listed))
            drives.append(shown);
    }
    m_drives = drives;
    clear();
    for (const platform::Drive &drive : std::as_const(m_drives))
        addItem(drive.label);
    setCurrentIndex(int(roots().indexOf(shownRoot)));
}

void DriveList::selectDriveOf(const QString &folder)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(int(roots().indexOf(platform::driveRootOf(roots(), folder))));
}

platform::Drive DriveList::drive() const
{
    return currentIndex() >= 0 ? m_drives.at(currentIndex()) : platform::Drive();
}

QStringList DriveList::roots() const
{
    QStringList list;
    for (const platform::Drive &drive : m_drives)
        list.append(drive.root);
    return list;
}

void DriveList::showPopup()
{
    // Sticks and discs come and go while the program runs.
    setDrives(platform::drives());
    QComboBox::showPopup();
}

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit folderOpened(folderAt(index.row())); });
}

void FolderList::setPath(const QString &folder, const QString &root, const QStringList &subfolders)
{
    clear();
    m_path = folder;
    m_root = root;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    addFolder(QDir::toNativeSeparators(root), root, 0, open);
    const QStringList steps = folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString reached = root;
    for (const QString &step : steps) {
        reached = joined(reached, step);
        addFolder(step, reached, count(), open);
    }
    const int current = count() - 1;
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const QString &name : subfolders)
        addFolder(name, joined(folder, name), current + 1, closed);
    setCurrentRow(current);
}

QString FolderList::folderAt(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->data(folderRole).toString() : QString();
}

void FolderList::addFolder(const QString &text, const QString &folder, int depth, const QIcon &icon)
{
    auto *entry = new QListWidgetItem(icon, text, this);
    entry->setData(folderRole, folder);
    entry->setData(depthRole, depth);
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentRow() >= 0) {
        event->accept();
        emit folderOpened(folderAt(currentRow()));
        return;
    }
    QListWidget::keyPressEvent(event);
}

FileList::FileList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QString FileList::pattern() const
{
    return picturePattern;
}

void FileList::setFolder(const QString &folder, const QStringList &names)
{
    m_path = folder;
    clear();
    addItems(names);
}

QItemSelectionModel::SelectionFlags FileList::selectionCommand(const QModelIndex &index,
                                                               const QEvent *event) const
{
    // Pressed beside every file: the base class would clear the selection, and with it the path.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

QString FileList::fileName() const
{
    const QList<QListWidgetItem *> chosen = selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

Form4::Form4(QWidget *parent) : DiscardableDialog(6015, 5370, parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Valitse kuvatiedosto"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/zorvik-96.png")));

    // Created in tab order, the drive list first.
    m_Drive1 = placed(new DriveList(this), "Drive1", twipsRect(120, 120, 2775, 315));
    m_Dir1 = placed(new FolderList(this), "Dir1", twipsRect(120, 520, 2775, 4140));
    m_File1 = placed(new FileList(this), "File1", twipsRect(3000, 500, 2895, 4185));
    m_Text1 = placed(new QLineEdit(this), "Text1", twipsRect(3000, 120, 2850, 315));
    m_Text1->setEnabled(false);
    m_Frame1 = placed(new QGroupBox(this), "Frame1", twipsRect(3000, 4680, 2895, 615));
    m_tiedosto = placed(new QLineEdit(m_Frame1), "tiedosto", twipsRect(120, 240, 2655, 285));
    m_tiedosto->setReadOnly(true);
    m_Frame2 = placed(new QGroupBox(this), "Frame2", twipsRect(120, 4680, 2775, 615));
    m_avaa = placed(plainButton(QStringLiteral("Avaa"), m_Frame2), "avaa",
                    twipsRect(120, 240, 1215, 255));
    m_peruuta = placed(plainButton(QStringLiteral("Peruuta"), m_Frame2), "peruuta",
                       twipsRect(1440, 240, 1215, 255));
    m_Drive1->setFocus();
    // The lists, the fields and the caption-less frames have no label of their own to name
    // them for a screen reader.
    m_Drive1->setAccessibleName(QStringLiteral("Asema"));
    // Some platforms' bridges give a drop-down list the name of its current entry.
    m_Drive1->setAccessibleDescription(m_Drive1->accessibleName());
    m_Dir1->setAccessibleName(QStringLiteral("Kansiot"));
    m_File1->setAccessibleName(QStringLiteral("Tiedostot"));
    m_Text1->setAccessibleName(QStringLiteral("Tiedostotyypit"));
    m_Frame1->setAccessibleName(QStringLiteral("Valittu tiedosto"));
    m_tiedosto->setAccessibleName(QStringLiteral("Tiedoston polku"));
    m_Frame2->setAccessibleName(QStringLiteral("Toiminnot"));

    connect(m_Drive1, &QComboBox::currentIndexChanged, this, &Form4::Drive1_Change);
    connect(m_Dir1, &FolderList::folderOpened, this, &Form4::Dir1_Change);
    connect(m_File1, &QListWidget::itemSelectionChanged, this, &Form4::File1_Click);
    connect(m_avaa, &QPushButton::clicked, this, &Form4::avaa_Click);
    connect(m_peruuta, &QPushButton::clicked, this, &Form4::peruuta_Click);

    Form_Load();
}

void Form4::Form_Load()
{
    m_Drive1->setDrives(platform::drives());
    m_startFolder = QDir::currentPath();
    m_Drive1->selectDriveOf(m_startFolder);
    // The drive just selected, or the top folder when no listed drive holds the start folder.
    const QString root = platform::driveRootOf(m_Drive1->roots(), m_startFolder);
    if (!changeFolder(m_startFolder, root).isEmpty())
        changeFolder(root, root);
    subbi();
    m_Text1->setText(m_File1->pattern());
}

void Form4::subbi()
{
    m_tiedosto->setText(
        platform::composePath(QDir::toNativeSeparators(m_Dir1->path()), m_File1->fileName()));
}

void Form4::Drive1_Change()
{
    const platform::Drive drive = m_Drive1->drive();
    if (!platform::driveReady(drive)) {
        platform::showMessage(this, QStringLiteral("virhe"),
                              QStringLiteral("Levyä ei ole asemassa!"),
                              platform::MessageIcon::Critical);
        return;
    }
    // A start folder that has gone since is no reason to refuse the drive: its root will do.
    // A drive that is there but cannot be listed all the same leaves everything where it was.
    if (!changeFolder(currentFolderOf(drive), drive.root).isEmpty())
        changeFolder(drive.root, drive.root);
}

void Form4::Dir1_Change(const QString &folder)
{
    // Opening the folder that is open already changes nothing, the file selection least.
    if (folder == m_Dir1->path())
        return;
    // Within the folder list the user stays on the drive it was opened on.
    const QString error = changeFolder(folder, m_Dir1->root());
    if (!error.isEmpty())
        platform::showMessage(this, QStringLiteral("virhe"), error,
                              platform::MessageIcon::Critical);
}

void Form4::File1_Click()
{
    subbi();
}

void Form4::avaa_Click()
{
    accept();
    subbi();
}

void Form4::peruuta_Click()
{
    reject();
}

// Moves the folder list, and the file list with it, to |folder|, listing the folders from |root|
// down to it. Both are read first, so that on failure neither moves; the failure's description
// is returned. The folder that is open already keeps its file list and selection: only the
// folder list is laid out again, as from another drive's root holding the same folder.
QString Form4::changeFolder(const QString &folder, const QString &root)
{
    const platform::FolderListing subfolders = platform::listSubfolders(folder);
    if (!subfolders.ok())
        return subfolders.error;
    const bool moved = folder != m_Dir1->path();
    platform::FolderListing pictures;
    if (moved) {
        pictures = platform::listFiles(folder, platform::splitPattern(m_File1->pattern()));
        if (!pictures.ok())
            return pictures.error;
    }

    m_Dir1->setPath(folder, root, subfolders.names);
    if (moved)
        m_File1->setFolder(folder, pictures.names);
    subbi();
    return {};
}

QString Form4::currentFolderOf(const platform::Drive &drive) const
{
    if (platform::driveRootOf(m_Drive1->roots(), m_startFolder) == drive.root)
        return m_startFolder;
    return drive.root;
}

Form4 &form4()
{
    return DiscardableDialog::instance<Form4>();
}

} // namespace zorvik::ui
