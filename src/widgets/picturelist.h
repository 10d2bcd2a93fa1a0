// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QListWidgetItem;
class QModelIndex;

namespace korvo {

class ExitItemDelegate;
class MyListWidget;

// The background picture list of the custom layout page: the add entry, the user's own pictures
// (newest first, remembered in Config.ini under "ImageList") and the eleven built-in pictures.
// Rows are always in that order; the delete rules and the stored keys rely on it.
class PictureList : public QObject
{
    Q_OBJECT
public:
    // The add entry and the built-in pictures; every other row is the user's.
    static constexpr int BuiltInCount = 11;
    static constexpr int FixedRowCount = BuiltInCount + 1;

    // The list becomes a child of window, which also hosts its confirmation dialogs. The
    // picture in use is asked for after the add entry was used, to select its row again.
    PictureList(QWidget* window, std::function<QString()> pictureInUse);

    MyListWidget* widget() const { return list_; }
    int userCount() const;
    QString pathAt(int row) const;

    // Rebuilds the list from Config.ini. A stored picture that no longer loads is left out, so
    // the next save forgets it.
    void fill();
    // Inserts the picture as the newest user row; false when it does not load.
    bool addPicture(const QString& path);
    // Writes the user rows to Config.ini; false when the file could not be written.
    bool save() const;
    // What the file chooser offers: the pictures we read, or every file.
    static QString fileFilter();
    // Where the file chooser opens: the folder last picked from while it exists, else the user's
    // Pictures folder when it holds anything, else the home folder.
    static QString startFolder(const QString& lastFolder);
    // Adds a picture taken from the file chooser, saves, and selects the picture in use again.
    void addChosenFile(const QString& path);
    // Makes the first row showing this picture current; no row when none does.
    void selectPicture(const QString& path);

public slots:
    void itemClickedImage(const QModelIndex& index);
    void slotRightClick();
    void SlotDeletePix(int iIndex);

signals:
    // The user chose a background, or deleting a row left this picture current.
    void backgroundChosen(const QString& path);

private:
    QListWidgetItem* makeItem(const QString& path, const QImage& thumbnail) const;
    bool confirm(const QString& title, const QString& text, const QString& acceptText, const QString& rejectText) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* window_;
    MyListWidget* list_;
    ExitItemDelegate* delegate_;
    std::function<QString()> pictureInUse_;
    bool markReleased_ = false;
    QString lastFolder_;
};

} // namespace korvo
