#pragma once

// The window of a work order's files: lists them with a thumbnail for
// images, adds them by the button, by dragging files onto the list or by
// pasting from the clipboard, opens one with the desktop's program, saves one
// elsewhere and deletes one after a confirmation. For a work order not yet
// stored the files wait in the window until the editor has stored it.

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QList>

#include "ui/PlacedDialog.h"
#include "workfile/AttachmentStore.h"

class QLabel;
class QMimeData;
class QProgressDialog;
class QPushButton;
class QTableWidget;

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

class Tfrm_Csatolmanyok : public PlacedDialog {
    Q_OBJECT

  public:
    // workOrder -1: a work order not yet stored. number is its printed number.
    Tfrm_Csatolmanyok(dbaccess::Connection* connection, int workOrder, const QString& number,
                      QWidget* parent = nullptr);

    // Adds the files, each checked and stored (or kept, for a new work
    // order); a file that cannot be added is told and the rest go on.
    void addFiles(const QStringList& paths);
    // Adds an image under a name of its own, as pasted from the clipboard.
    void addImage(const QImage& image);
    // What was dropped onto the window or the list: local files, or an image.
    void addDropped(const QMimeData* mime);
    void openSelected();
    void saveSelected(const QString& target = QString());
    void deleteSelected();

    // Off for the files of a deleted work order: they can be read and removed only.
    void allowAdding(bool allowed);

    int fileCount() const { return static_cast<int>(entries_.size()); }
    // Stores the files kept for a new work order under its key, once stored.
    // False, after telling the user, when one could not be stored.
    bool storePending(int workOrder);

    QTableWidget* Lista = nullptr;
    QLabel* Megjegyzes = nullptr;
    QPushButton* btnHozzaad = nullptr;
    QPushButton* btnMegnyit = nullptr;
    QPushButton* btnMent = nullptr;
    QPushButton* btnTorol = nullptr;
    QPushButton* btnBezar = nullptr;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        AttachmentInfo info;
        QByteArray pending;  // the bytes of a file not yet stored
    };
    void reload();
    void showEntries();
    void addBytes(const QString& name, const QByteArray& bytes);
    void paste();
    int selectedRow() const;
    QByteArray bytesOf(const Entry& entry);
    // The list's picture of the file: a thumbnail for an image, read once.
    QIcon iconOf(const Entry& entry);
    bool transferStep(qint64 done, qint64 total);

    dbaccess::Connection* connection_;
    int workOrder_;
    bool canAdd_ = true;
    QList<Entry> entries_;
    QHash<int, QIcon> thumbnails_;  // by stored file
    QProgressDialog* progress_ = nullptr;
};

// The files' temporary copies opened with the desktop's programs live here
// until Zomi ends.
QString OpenedAttachmentFolder();

}  // namespace zomi
