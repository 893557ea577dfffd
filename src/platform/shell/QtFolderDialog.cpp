#include "platform/shell/QtFolderDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <set>

#include "platform/translation/Tr.h"
#include "platform/windowing/QtWindowing.h"

namespace shell {
namespace {

using translation::Tr;

// The open dialogs, by handle, for the requests the callback sends.
class BrowseDialog;
std::set<const BrowseDialog*>& OpenDialogs() {
  static std::set<const BrowseDialog*> dialogs;
  return dialogs;
}

class BrowseDialog final : public QDialog {
 public:
  BrowseDialog(QWidget* owner, const BROWSEINFO& browse) : QDialog(owner), browse_(browse) {
    setObjectName(QStringLiteral("BrowseForFolder"));
    setWindowTitle(Tr("BrowseForFolder", "Browse for Folder"));
    title_.setObjectName(QStringLiteral("title"));
    title_.setText(QString::fromStdString(browse.lpszTitle));
    title_.setWordWrap(true);
    model_.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_.setReadOnly(false);
    const QString root = browse.pidlRoot != nullptr ? QString::fromStdString(browse.pidlRoot->path)
                                                    : QStringLiteral("/");
    model_.setRootPath(root);
    tree_.setObjectName(QStringLiteral("folders"));
    tree_.setModel(&model_);
    tree_.setRootIndex(model_.index(root).parent());
    for (int column = 1; column < model_.columnCount(); ++column) {
      tree_.hideColumn(column);
    }
    tree_.setHeaderHidden(true);
    // The one column is as wide as its names, so that a deep folder can be scrolled to.
    tree_.header()->setStretchLastSection(false);
    tree_.header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    status_.setObjectName(QStringLiteral("status"));
    status_.setVisible((browse.ulFlags & BIF_STATUSTEXT) != 0);
    newFolder_.setObjectName(QStringLiteral("newFolder"));
    newFolder_.setText(Tr("BrowseForFolder", "&Make New Folder"));
    newFolder_.setVisible((browse.ulFlags & BIF_NEWDIALOGSTYLE) != 0);
    buttons_.setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons_.button(QDialogButtonBox::Ok)->setEnabled(false);
    layout_.addWidget(&title_);
    layout_.addWidget(&tree_);
    layout_.addWidget(&status_);
    row_.addWidget(&newFolder_);
    row_.addStretch();
    row_.addWidget(&buttons_);
    layout_.addLayout(&row_);
    resize(420, 400);

    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&newFolder_, &QPushButton::clicked, this, [this] { MakeNewFolder(); });
    connect(tree_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { SelectionChanged(current); });
    // The folders load in the background and push the preselected one down as they come:
    // it is brought into view again after each change, until the user takes over.
    follow_.setSingleShot(true);
    connect(&follow_, &QTimer::timeout, this, [this] { ShowPreselected(); });
    const auto later = [this] {
      if (preselected_.isValid()) {
        follow_.start(0);
      }
    };
    connect(&model_, &QFileSystemModel::directoryLoaded, this, later);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, later);
    connect(&model_, &QAbstractItemModel::layoutChanged, this, later);
    tree_.viewport()->installEventFilter(this);
    tree_.installEventFilter(this);
    OpenDialogs().insert(this);
  }

  ~BrowseDialog() override { OpenDialogs().erase(this); }

  HWND Handle() const { return reinterpret_cast<HWND>(this); }

  // Tells the callback that the dialog is there, then runs it.
  int Run() {
    Notify(BFFM_INITIALIZED, 0);
    return exec();
  }

  std::string Chosen() const { return model_.filePath(tree_.currentIndex()).toStdString(); }

  void Select(const QString& path) {
    const QModelIndex index = model_.index(path);
    if (index.isValid()) {
      preselected_ = QPersistentModelIndex();  // a selection of our own, not the user's
      tree_.setCurrentIndex(index);
      preselected_ = index;
      ShowPreselected();
    }
  }

  void SetStatus(const QString& text) { status_.setText(text); }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    if (preselected_.isValid()) {
      follow_.start(0);
    }
  }

  // The user scrolling, clicking or typing in the tree takes over from ShowPreselected.
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::Wheel:
      case QEvent::KeyPress:
        preselected_ = QPersistentModelIndex();
        break;
      default:
        break;
    }
    return QDialog::eventFilter(watched, event);
  }

 private:
  // Scrolls the preselected folder fully into view: its row, and its name however deep it lies.
  void ShowPreselected() {
    if (!preselected_.isValid()) {
      return;
    }
    tree_.scrollTo(preselected_, QAbstractItemView::PositionAtCenter);
    const QRect name = tree_.visualRect(preselected_);
    const int width = tree_.viewport()->width();
    QScrollBar& across = *tree_.horizontalScrollBar();
    if (name.right() >= width) {
      across.setValue(across.value() + std::min(name.right() - width + 1, name.left()));
    } else if (name.left() < 0) {
      across.setValue(across.value() + name.left());
    }
  }

  void Notify(UINT message, LPARAM value) {
    if (browse_.lpfn != nullptr) {
      browse_.lpfn(Handle(), message, value, browse_.lParam);
    }
  }

  void SelectionChanged(const QModelIndex& current) {
    if (preselected_.isValid() && current != preselected_) {
      preselected_ = QPersistentModelIndex();  // the user chose another folder
    }
    buttons_.button(QDialogButtonBox::Ok)->setEnabled(current.isValid());
    ITEMIDLIST item{model_.filePath(current).toStdString(), true};
    Notify(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&item));
  }

  void MakeNewFolder() {
    const QString parent = model_.filePath(tree_.currentIndex());
    if (parent.isEmpty()) {
      return;
    }
    // Named in the user's language, as the desktop's own file manager names a new folder.
    QString name = Tr("BrowseForFolder", "New Folder");
    for (int n = 2; QDir(parent).exists(name); ++n) {
      name = Tr("BrowseForFolder", "New Folder (%1)").FillQ(n);
    }
    const QModelIndex made = model_.mkdir(tree_.currentIndex(), name);
    if (made.isValid()) {
      tree_.setCurrentIndex(made);
      tree_.edit(made);
    }
  }

  BROWSEINFO browse_;
  QVBoxLayout layout_{this};
  QHBoxLayout row_;  // leaves layout_ when it goes, before layout_ would delete it
  QLabel title_;
  QFileSystemModel model_;
  QTreeView tree_;
  QLabel status_;
  QPushButton newFolder_;
  QDialogButtonBox buttons_;
  QPersistentModelIndex preselected_;  // kept in view until the user takes over
  QTimer follow_;
};

}  // namespace

std::unique_ptr<ITEMIDLIST> QtFolderDialogs::SHBrowseForFolder(BROWSEINFO* browse) {
  if (browse == nullptr) {
    return nullptr;
  }
  BrowseDialog dialog(windowing::QtWindowing::WidgetOf(browse->hwndOwner), *browse);
  if (dialog.Run() != QDialog::Accepted) {
    return nullptr;
  }
  auto item = std::make_unique<ITEMIDLIST>(ITEMIDLIST{dialog.Chosen(), true});
  if (browse->pszDisplayName != nullptr) {
    const std::string name = QDir(QString::fromStdString(item->path)).dirName().toStdString();
    const std::size_t size = std::min(name.size(), kMaxPath - 1);
    std::memcpy(browse->pszDisplayName, name.data(), size);
    browse->pszDisplayName[size] = '\0';
  }
  return item;
}

BOOL QtFolderDialogs::SHGetPathFromIDList(const ITEMIDLIST* item, char* path) {
  if (item == nullptr || path == nullptr || !item->fileSystem || item->path.empty() ||
      item->path.size() >= kMaxPath) {
    return 0;
  }
  std::memcpy(path, item->path.c_str(), item->path.size() + 1);
  return 1;
}

LRESULT QtFolderDialogs::SendMessage(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  for (const BrowseDialog* open : OpenDialogs()) {
    if (open->Handle() == dialog) {
      auto* target = const_cast<BrowseDialog*>(open);
      const QString text = QString::fromUtf8(reinterpret_cast<const char*>(lParam));
      if (message == BFFM_SETSELECTIONA) {
        target->Select(text);
      } else if (message == BFFM_SETSTATUSTEXTA) {
        target->SetStatus(text);
      }
      return 0;
    }
  }
  return 0;
}

FolderDialogs& CurrentFolderDialogs() {
  return platform::Seam<FolderDialogs>::Current<QtFolderDialogs>();
}

}  // namespace shell
