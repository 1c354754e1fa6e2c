#include "workfile/Csatolmanyok.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QStyle>
#include <QSysInfo>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kWindowName = QStringLiteral("frm_Csatolmanyok");
// Larger transfers show their progress.
constexpr qint64 kProgressFrom = 2LL * 1024 * 1024;
// Images up to this size get a thumbnail from their bytes.
constexpr qint64 kThumbnailUpTo = 8LL * 1024 * 1024;
constexpr int kThumbnail = 48;

QString sizeText(qint64 bytes) {
    const QLocale hu(QLocale::Hungarian);
    if (bytes < 1024) return QStringLiteral("%1 bájt").arg(bytes);
    if (bytes < 1024 * 1024)
        return hu.toString(static_cast<double>(bytes) / 1024.0, 'f', 1) + QStringLiteral(" kB");
    return hu.toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral(" MB");
}

QString workstation() { return QSysInfo::machineHostName(); }

}  // namespace

QString OpenedAttachmentFolder() {
    // Removed with everything in it when the program ends.
    static QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("zomi-csatolmany-XXXXXX")));
    return folder.path();
}

Tfrm_Csatolmanyok::Tfrm_Csatolmanyok(dbaccess::Connection* connection, int workOrder,
                                     const QString& number, QWidget* parent)
    : PlacedDialog(kWindowName, parent), connection_(connection), workOrder_(workOrder) {
    setWindowTitle(number.isEmpty() ? QStringLiteral("Csatolmányok")
                                    : QStringLiteral("Csatolmányok – ") + number);
    setAcceptDrops(true);

    Lista = new QTableWidget(0, 5, this);
    Lista->setObjectName(QStringLiteral("Lista"));
    Lista->setHorizontalHeaderLabels({QStringLiteral("Név"), QStringLiteral("Méret"),
                                      QStringLiteral("Típus"), QStringLiteral("Csatolta"),
                                      QStringLiteral("Időpont")});
    Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lista->setIconSize(QSize(kThumbnail, kThumbnail));
    Lista->verticalHeader()->hide();
    Lista->verticalHeader()->setDefaultSectionSize(kThumbnail + 6);
    Lista->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Lista->setAcceptDrops(true);
    Lista->viewport()->setAcceptDrops(true);
    Lista->installEventFilter(this);
    Lista->viewport()->installEventFilter(this);

    Megjegyzes = new QLabel(this);
    Megjegyzes->setWordWrap(true);
    Megjegyzes->setText(
        workOrder_ < 0
            ? QStringLiteral("A fájlok a munkalap tárolásakor kerülnek az adatbázisba. Fájlt a "
                             "listára húzva vagy Ctrl+V-vel (kép a vágólapról) is csatolhat.")
            : QStringLiteral("Fájlt a listára húzva vagy Ctrl+V-vel (kép a vágólapról) is "
                             "csatolhat; legfeljebb 50 MB fájlonként."));

    btnHozzaad = new QPushButton(QStringLiteral("Hozzáadás..."), this);
    btnMegnyit = new QPushButton(QStringLiteral("Megnyitás"), this);
    btnMent = new QPushButton(QStringLiteral("Mentés másként..."), this);
    btnTorol = new QPushButton(QStringLiteral("Törlés"), this);
    btnBezar = new QPushButton(QStringLiteral("Bezárás"), this);
    btnHozzaad->setObjectName(QStringLiteral("btnHozzaad"));
    btnMegnyit->setObjectName(QStringLiteral("btnMegnyit"));
    btnMent->setObjectName(QStringLiteral("btnMent"));
    btnTorol->setObjectName(QStringLiteral("btnTorol"));
    btnBezar->setObjectName(QStringLiteral("btnBezar"));
    for (QPushButton* b : {btnHozzaad, btnMegnyit, btnMent, btnTorol, btnBezar})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnHozzaad, btnMegnyit, btnMent, btnTorol}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnBezar);
    auto* root = new QVBoxLayout(this);
    root->addWidget(Lista);
    root->addWidget(Megjegyzes);
    root->addLayout(buttons);
    resize(700, 380);

    connect(btnHozzaad, &QPushButton::clicked, this, [this] {
        const QStringList paths = QFileDialog::getOpenFileNames(
            this, QStringLiteral("Fájlok csatolása"), QString(), QStringLiteral("Minden fájl (*)"));
        addFiles(paths);
    });
    connect(btnMegnyit, &QPushButton::clicked, this, &Tfrm_Csatolmanyok::openSelected);
    connect(btnMent, &QPushButton::clicked, this, [this] { saveSelected(); });
    connect(btnTorol, &QPushButton::clicked, this, &Tfrm_Csatolmanyok::deleteSelected);
    connect(btnBezar, &QPushButton::clicked, this, &QDialog::accept);
    connect(Lista, &QTableWidget::cellDoubleClicked, this, [this] { openSelected(); });
    connect(Lista, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool any = selectedRow() >= 0;
        for (QPushButton* b : {btnMegnyit, btnMent, btnTorol}) b->setEnabled(any);
    });
    reload();
}

void Tfrm_Csatolmanyok::reload() {
    if (workOrder_ >= 0) {
        QList<Entry> stored;
        Guarded(this, [&] {
            for (const AttachmentInfo& info : ListAttachments(*connection_, workOrder_))
                stored << Entry{info, {}};
        });
        entries_ = stored;
    }
    showEntries();
}

void Tfrm_Csatolmanyok::showEntries() {
    Lista->setRowCount(0);
    for (int r = 0; r < entries_.size(); ++r) {
        const AttachmentInfo& info = entries_.at(r).info;
        Lista->insertRow(r);
        auto* name = new QTableWidgetItem(info.name);
        name->setIcon(iconOf(entries_.at(r)));
        Lista->setItem(r, 0, name);
        auto* size = new QTableWidgetItem(sizeText(info.size));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Lista->setItem(r, 1, size);
        Lista->setItem(r, 2, new QTableWidgetItem(info.type));
        Lista->setItem(
            r, 3,
            new QTableWidgetItem(info.host.isEmpty() ? info.addedBy
                                                     : info.addedBy + QStringLiteral(" (") +
                                                           info.host + QLatin1Char(')')));
        Lista->setItem(
            r, 4,
            new QTableWidgetItem(info.added.isValid()
                                     ? info.added.toString(QStringLiteral("yyyy.MM.dd HH:mm"))
                                     : QStringLiteral("(tárolásra vár)")));
    }
    Lista->resizeColumnsToContents();
    Lista->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    if (!entries_.isEmpty()) Lista->selectRow(0);
    const bool any = selectedRow() >= 0;
    for (QPushButton* b : {btnMegnyit, btnMent, btnTorol}) b->setEnabled(any);
}

QIcon Tfrm_Csatolmanyok::iconOf(const Entry& entry) {
    const AttachmentInfo& info = entry.info;
    if (const auto known = thumbnails_.constFind(info.id);
        info.id != 0 && known != thumbnails_.constEnd())
        return *known;
    QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    if (info.isImage() && info.size <= kThumbnailUpTo) {
        QByteArray bytes;
        try {
            bytes = bytesOf(entry);
        } catch (const std::exception&) {
            // A damaged file is told when it is opened; the list still shows it.
        }
        QImage image;
        if (!bytes.isEmpty() && image.loadFromData(bytes))
            icon = QIcon(QPixmap::fromImage(image.scaled(
                kThumbnail, kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    if (info.id != 0) thumbnails_.insert(info.id, icon);
    return icon;
}

int Tfrm_Csatolmanyok::selectedRow() const {
    const auto rows = Lista->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool Tfrm_Csatolmanyok::transferStep(qint64 done, qint64 total) {
    if (!progress_) return true;
    progress_->setMaximum(static_cast<int>(total / 1024));
    progress_->setValue(static_cast<int>(done / 1024));
    QApplication::processEvents();
    return !progress_->wasCanceled();
}

QByteArray Tfrm_Csatolmanyok::bytesOf(const Entry& entry) {
    if (entry.info.id == 0) return entry.pending;
    return ReadAttachment(*connection_, entry.info.id,
                          [this](qint64 done, qint64 total) { return transferStep(done, total); });
}

void Tfrm_Csatolmanyok::allowAdding(bool allowed) {
    canAdd_ = allowed;
    btnHozzaad->setEnabled(allowed);
    setAcceptDrops(allowed);
    if (!allowed)
        Megjegyzes->setText(QStringLiteral(
            "A munkalapot törölték: a fájljai olvashatók és törölhetők, újak nem csatolhatók."));
}

void Tfrm_Csatolmanyok::addBytes(const QString& name, const QByteArray& bytes) {
    if (!canAdd_) throw AttachmentError(QStringLiteral("Törölt munkalaphoz nem csatolható fájl."));
    if (const QString refusal = AttachmentRefusal(name, bytes.size()); !refusal.isEmpty())
        throw AttachmentError(refusal);
    if (workOrder_ < 0) {
        Entry entry;
        entry.info.name = name;
        entry.info.size = bytes.size();
        entry.info.type = AttachmentType(name, bytes);
        entry.info.addedBy = Beall.Felhasznalo;
        entry.info.host = workstation();
        entry.pending = bytes;
        entries_ << entry;
        return;
    }
    std::unique_ptr<QProgressDialog> progress;
    if (bytes.size() >= kProgressFrom) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("„%1” csatolása...").arg(name),
                                                     QStringLiteral("Mégsem"), 0, 100, this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress_ = progress.get();
    }
    struct Reset {
        QProgressDialog*& p;
        ~Reset() { p = nullptr; }
    } reset{progress_};
    StoreAttachment(*connection_, workOrder_, name, bytes, Beall.Felhasznalo, workstation(),
                    [this](qint64 done, qint64 total) { return transferStep(done, total); });
}

void Tfrm_Csatolmanyok::addFiles(const QStringList& paths) {
    for (const QString& path : paths)
        Guarded(this, [&] { addBytes(QFileInfo(path).fileName(), ReadAttachableFile(path)); });
    reload();
}

void Tfrm_Csatolmanyok::addImage(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QString name =
        QStringLiteral("kep-%1.png")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    Guarded(this, [&] { addBytes(name, png); });
    reload();
}

void Tfrm_Csatolmanyok::paste() {
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    if (!clip) return;
    if (clip->hasUrls()) {
        QStringList paths;
        for (const QUrl& url : clip->urls())
            if (url.isLocalFile()) paths << url.toLocalFile();
        if (!paths.isEmpty()) {
            addFiles(paths);
            return;
        }
    }
    if (clip->hasImage()) {
        addImage(qvariant_cast<QImage>(clip->imageData()));
        return;
    }
    InfoBox(QStringLiteral("A vágólapon nincs kép vagy fájl, amit csatolni lehetne."), this);
}

void Tfrm_Csatolmanyok::openSelected() {
    const int row = selectedRow();
    if (row < 0) return;
    const Entry entry = entries_.at(row);
    Guarded(this, [&] {
        const QByteArray bytes = bytesOf(entry);
        QDir folder(OpenedAttachmentFolder());
        const QString sub =
            QStringLiteral("%1-%2").arg(entry.info.id).arg(QDateTime::currentMSecsSinceEpoch());
        folder.mkpath(sub);
        const QString path = folder.filePath(sub + QLatin1Char('/') + entry.info.name);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw AttachmentError(QStringLiteral("A csatolmány ideiglenes másolata nem írható: %1")
                                      .arg(file.errorString()));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            throw AttachmentError(
                QStringLiteral("A(z) „%1” megnyitásához nincs beállított program ezen a gépen. "
                               "A „Mentés másként...” gombbal máshová mentheti.")
                    .arg(entry.info.name));
    });
}

void Tfrm_Csatolmanyok::saveSelected(const QString& target) {
    const int row = selectedRow();
    if (row < 0) return;
    const Entry entry = entries_.at(row);
    const QString path =
        !target.isEmpty()
            ? target
            : QFileDialog::getSaveFileName(this, QStringLiteral("Mentés másként"), entry.info.name);
    if (path.isEmpty()) return;
    Guarded(this, [&] {
        const QByteArray bytes = bytesOf(entry);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw AttachmentError(
                QStringLiteral("A(z) %1 fájl nem írható: %2").arg(path, file.errorString()));
    });
}

void Tfrm_Csatolmanyok::deleteSelected() {
    const int row = selectedRow();
    if (row < 0) return;
    const Entry entry = entries_.at(row);
    if (!ConfirmBox(
            QStringLiteral("Valóban törölni akarja a(z) „%1” csatolmányt?").arg(entry.info.name),
            QStringLiteral("Megerősítés"), this, QMessageBox::Question, QMessageBox::No))
        return;
    if (entry.info.id == 0) {
        entries_.removeAt(row);
        showEntries();
        return;
    }
    Guarded(this, [&] { DeleteAttachment(*connection_, entry.info.id); });
    reload();
}

bool Tfrm_Csatolmanyok::storePending(int workOrder) {
    workOrder_ = workOrder;
    const QList<Entry> pending = entries_;
    bool all = true;
    for (const Entry& entry : pending)
        if (entry.info.id == 0)
            all = Guarded(parentWidget(), [&] { addBytes(entry.info.name, entry.pending); }) && all;
    reload();
    return all;
}

void Tfrm_Csatolmanyok::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasImage())
        event->acceptProposedAction();
}

void Tfrm_Csatolmanyok::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    addDropped(event->mimeData());
}

void Tfrm_Csatolmanyok::addDropped(const QMimeData* mime) {
    QStringList paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (!paths.isEmpty()) {
        addFiles(paths);
    } else if (mime->hasImage()) {
        addImage(qvariant_cast<QImage>(mime->imageData()));
    }
}

bool Tfrm_Csatolmanyok::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls() || drag->mimeData()->hasImage()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        dropEvent(static_cast<QDropEvent*>(event));
        return true;
    } else if (event->type() == QEvent::KeyPress && watched == Lista) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            paste();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            deleteSelected();
            return true;
        }
        if (key->key() == Qt::Key_Insert) {
            btnHozzaad->click();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zomi
