// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/picturelist.h"

#include "config/configstore.h"
#include "picture/picturereader.h"
#include "widgets/exititemdelegate.h"
#include "widgets/messageboxes.h"
#include "widgets/presswidgets.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStandardPaths>

#include <algorithm>
#include <memory>
#include <vector>

#include <utility>

namespace korvo {

namespace {

const char* const AddEntryPicture = "://skins/add.png";
const char* const BuiltInPictures[PictureList::BuiltInCount] = {
    "://background/1.jpg", "://background/2.jpg",  "://background/3.jpg",  "://background/4.jpg",
    "://background/5.jpg", "://background/6.png",  "://background/7.jpg",  "://background/8.jpg",
    "://background/9.jpg", "://background/10.jpg", "://background/11.jpg",
};
const QSize ThumbnailSize(77, 54);
const QSize ItemSize(77, 58);

const char* const ListStyle = "QListWidget{border:none;background-color:transparent;}";
// Set on the bar itself: through the list, the platform style kept drawing its own white bar.
const char* const ScrollBarStyle =
    "QScrollBar:vertical{width:24px;background:transparent;margin:7px;padding-top:0px;padding-bottom:0px;"
    "border:none;border-radius:4px;}"
    "QScrollBar::handle:vertical{background:#A2A4A7;border-radius:4px;min-height:24px;}"
    "QScrollBar::handle:vertical:hover{background:#C5C7CA;}"
    "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;background:none;}"
    "QScrollBar::up-arrow:vertical,QScrollBar::down-arrow:vertical{width:0px;height:0px;background:none;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}";

// Reads the picture straight at thumbnail size, so a huge photo never has to fit in memory whole.
QImage readThumbnail(const QString& path)
{
    // As many pixels as the screen shows in the thumbnail's place, so it stays sharp at 2x.
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1;
    const QSize size = ThumbnailSize * ratio;
    const QImage read = picture::readWithin(path, size);
    if (read.isNull())
        return read;
    QImage thumbnail = read.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    thumbnail.setDevicePixelRatio(ratio);
    return thumbnail;
}

} // namespace

PictureList::PictureList(QWidget* window, std::function<QString()> pictureInUse)
    : QObject(window), window_(window), list_(new MyListWidget(window)), delegate_(new ExitItemDelegate(this)),
      pictureInUse_(std::move(pictureInUse))
{
    // Ends inside the window's right panel, scroll bar included.
    list_->setGeometry(508, 285, 436, 260);
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(ItemSize);
    list_->setSpacing(7);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setStyleSheet(QLatin1String(ListStyle));
    list_->verticalScrollBar()->setStyleSheet(QLatin1String(ScrollBarStyle));
    list_->setItemDelegate(delegate_);
    list_->installEventFilter(this);
    list_->setObjectName(QStringLiteral("pictureList"));
    list_->setAccessibleName(tr("背景图片"));
    list_->hide();

    connect(list_, &QAbstractItemView::clicked, this, &PictureList::itemClickedImage);
    connect(list_, &MyListWidget::rightClick, this, &PictureList::slotRightClick);
    connect(delegate_, &ExitItemDelegate::handleDeleteClick, this, [this](int row) {
        // The view reports the release as a click on the row right after: that is no choice.
        markReleased_ = true;
        SlotDeletePix(row);
    });
}

int PictureList::userCount() const
{
    return list_->count() - FixedRowCount;
}

QString PictureList::pathAt(int row) const
{
    const QListWidgetItem* item = list_->item(row);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

QListWidgetItem* PictureList::makeItem(const QString& path, const QImage& thumbnail) const
{
    auto* item = new QListWidgetItem;
    item->setData(Qt::UserRole, path);
    item->setIcon(QIcon(QPixmap::fromImage(thumbnail)));
    item->setSizeHint(ItemSize);
    return item;
}

void PictureList::fill()
{
    list_->clear();

    const QString addPath = QString::fromLatin1(AddEntryPicture);
    QListWidgetItem* addEntry = makeItem(addPath, readThumbnail(addPath));
    addEntry->setToolTip(tr("添加图片"));
    addEntry->setData(Qt::AccessibleTextRole, tr("添加图片"));
    list_->addItem(addEntry);
    for (const char* path : BuiltInPictures) {
        // The built-in rows stay even without their picture: the row count is what tells the
        // user's pictures from them.
        QListWidgetItem* item = makeItem(QString::fromLatin1(path), readThumbnail(QString::fromLatin1(path)));
        item->setToolTip(tr("默认图片"));
        list_->addItem(item);
    }

    QStringList stored;
    int count = 0;
    {
        const IniFile settings = openConfig();
        bool countIsNumber = false;
        count = settings.value("ImageList/Count").toString().toInt(&countIsNumber);
        if (!countIsNumber)
            count = 0;
        // Only keys that exist are read, so a damaged count cannot make us walk a huge range.
        std::vector<int> indices;
        for (const QString& key : settings.childKeys("ImageList")) {
            bool isIndex = false;
            const int index = key.toInt(&isIndex);
            if (isIndex && index >= 0 && index < count)
                indices.push_back(index);
        }
        std::sort(indices.begin(), indices.end());
        for (int index : indices)
            stored << settings.value("ImageList/" + QString::number(index)).toString();
    }
    if (stored.size() != count)
        qWarning("ImageList/Count is %d but %d pictures are stored.\n", count, int(stored.size()));

    int skipped = 0;
    for (const QString& path : stored) {
        if (!addPicture(path))
            ++skipped;
    }
    if (skipped > 0)
        qWarning("%d stored pictures no longer load and were left out.\n", skipped);
}

bool PictureList::addPicture(const QString& path)
{
    const QImage thumbnail = readThumbnail(path);
    if (thumbnail.isNull())
        return false;
    list_->insertItem(1, makeItem(path, thumbnail));
    return true;
}

bool PictureList::save() const
{
    IniFile settings = openConfig();
    // Stale keys from a longer list would only confuse the next reader.
    settings.removeGroup("ImageList");
    const int count = userCount();
    settings.setValue("ImageList/Count", count);
    for (int i = 0; i < count; ++i)
        settings.setValue("ImageList/" + QString::number(i), pathAt(i + 1));
    return settings.write();
}

QString PictureList::fileFilter()
{
    return tr("图片") + QStringLiteral(" (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.jfif);;") + tr("所有文件") +
           QStringLiteral(" (*)");
}

QString PictureList::startFolder(const QString& lastFolder)
{
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    // Some systems name a Pictures folder that was never made, or left empty: nothing to pick there.
    const QDir folder(pictures);
    if (!pictures.isEmpty() && folder.isReadable() &&
        !folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        return pictures;
    return QDir::homePath();
}

void PictureList::addChosenFile(const QString& path)
{
    if (!path.isEmpty()) {
        lastFolder_ = QFileInfo(path).absolutePath();
        addPicture(path);
    }
    save();
    selectPicture(pictureInUse_());
}

void PictureList::selectPicture(const QString& path)
{
    for (int row = 1; row < list_->count(); ++row) {
        if (pathAt(row) == path) {
            list_->setCurrentRow(row);
            return;
        }
    }
    list_->setCurrentRow(-1);
}

void PictureList::itemClickedImage(const QModelIndex& index)
{
    if (std::exchange(markReleased_, false) || !index.isValid())
        return;
    if (index.row() != 0) {
        emit backgroundChosen(pathAt(index.row()));
        return;
    }
    const QString chosen =
        QFileDialog::getOpenFileName(window_, tr("打开图片"), startFolder(lastFolder_), fileFilter());
    addChosenFile(chosen);
}

void PictureList::slotRightClick()
{
    SlotDeletePix(list_->currentRow());
}

void PictureList::SlotDeletePix(int iIndex)
{
    if (iIndex < 0 || iIndex >= list_->count()) {
        qWarning("SlotDeletePix: no row %d.\n", iIndex);
        return;
    }
    if (iIndex == 0)
        return;
    if (iIndex > userCount()) {
        confirm(tr("默认图片"), tr("默认图片不能删除。"), tr("确定"), QString());
        return;
    }
    if (!confirm(tr("删除图片"), tr("是否删除此图片？"), tr("删除"), tr("取消")))
        return;
    delete list_->takeItem(iIndex);
    const int current = list_->currentRow();
    if (current > 0)
        emit backgroundChosen(pathAt(current));
    save();
}

bool PictureList::confirm(const QString& title, const QString& text, const QString& acceptText,
                          const QString& rejectText) const
{
    const QPoint origin = window_->mapToGlobal(QPoint(0, 0));
    ExitMessageBox box(2, text, origin, window_->window(), true, Qt::FramelessWindowHint);
    box.setTitle(title);
    box.setAnswers(acceptText, rejectText);
    return box.exec() == QDialog::Accepted;
}

bool PictureList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != list_ || event->type() != QEvent::KeyPress)
        return false;
    // Enter picks the row as a click does, Delete removes it as a right click does.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        itemClickedImage(list_->currentIndex());
        return true;
    }
    if (key == Qt::Key_Delete) {
        slotRightClick();
        return true;
    }
    return false;
}

} // namespace korvo
