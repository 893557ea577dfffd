#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "platform/shell/QtFolderDialog.h"
#include "shell/CBrowseForFolder.h"
#include "support/TempDir.h"

namespace {

// Plays the user of the real dialog once it is open: `act` gets the dialog.
void WhenTheDialogOpens(std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

QString CurrentPath(QDialog& dialog) {
  auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("folders"));
  return qobject_cast<QFileSystemModel*>(tree->model())->filePath(tree->currentIndex());
}

TEST(FolderDialogTest, TheRealDialogOpensAtTheInitialFolderAndHandsBackTheChoice) {
  testing_support::TempDir folder;
  std::filesystem::create_directories(folder / "vss" / "db");
  shell::CBrowseForFolder picker;
  picker.Init((folder / "vss").string(), 0, "VSS Database Location", 69);
  QString preselected;
  QString title;
  QString status;
  bool newFolderShown = false;
  WhenTheDialogOpens([&](QDialog& dialog) {
    preselected = CurrentPath(dialog);
    title = dialog.findChild<QLabel*>(QStringLiteral("title"))->text();
    status = dialog.findChild<QLabel*>(QStringLiteral("status"))->text();
    newFolderShown = !dialog.findChild<QPushButton*>(QStringLiteral("newFolder"))->isHidden();
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("folders"));
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    tree->setCurrentIndex(model->index(QString::fromStdString((folder / "vss" / "db").string())));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(picker.Browse());
  EXPECT_EQ(preselected.toStdString(), (folder / "vss").string());
  EXPECT_EQ(title, "VSS Database Location");
  EXPECT_EQ(status.toStdString(), (folder / "vss").string());  // the selection's path
  EXPECT_TRUE(newFolderShown);
  EXPECT_EQ(picker.SelectedPath(), (folder / "vss" / "db").string());
}

TEST(FolderDialogTest, ThePreselectedFolderIsScrolledFullyIntoViewOnceTheTreeHasLoaded) {
  // Deep, with a long name, and below forty siblings at every level that load after it.
  testing_support::TempDir folder;
  std::filesystem::path deep = folder.Path();
  for (int level = 0; level < 6; ++level) {
    for (int sibling = 0; sibling < 40; ++sibling) {
      std::filesystem::create_directories(deep / ("a" + std::to_string(100 + sibling)));
    }
    deep /= "zz-a-folder-with-a-rather-long-name-at-level-" + std::to_string(level);
  }
  std::filesystem::create_directories(deep);
  shell::CBrowseForFolder picker;
  picker.Init(deep.string(), 0, "VSS Database Location", 1);
  bool inView = false;
  QString current;
  WhenTheDialogOpens([&](QDialog& dialog) {
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("folders"));
    inView = QTest::qWaitFor(
        [&] {
          const QModelIndex index = tree->currentIndex();
          const QRect name = tree->visualRect(index);
          const int needed = tree->fontMetrics().horizontalAdvance(index.data().toString());
          return tree->viewport()->rect().contains(name) && name.width() >= needed;
        },
        5000);
    current = CurrentPath(dialog);
    dialog.reject();
  });
  picker.Browse();
  EXPECT_EQ(current.toStdString(), deep.string());
  EXPECT_TRUE(inView);
}

TEST(FolderDialogTest, CancellingTheRealDialogChoosesNothing) {
  shell::CBrowseForFolder picker;
  picker.Init("/", 0, "", 1);
  bool statusShown = true;
  WhenTheDialogOpens([&](QDialog& dialog) {
    statusShown = !dialog.findChild<QLabel*>(QStringLiteral("status"))->isHidden();
    dialog.reject();
  });
  EXPECT_FALSE(picker.Browse());
  EXPECT_EQ(picker.SelectedPath(), "");
  EXPECT_FALSE(statusShown);  // flags 1 ask for no status line
}

}  // namespace
