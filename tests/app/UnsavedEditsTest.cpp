#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/SelectFileBar.h"
#include "document/COrvoDoc.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QtTest>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The question about unsaved edits, if it is up.
QMessageBox* question(const Viewer& viewer)
{
    QMessageBox* box = viewer.shown<QMessageBox>();
    return box && box->objectName() == QStringLiteral("SaveChangesPrompt") ? box : nullptr;
}

int windowCount(const Viewer& viewer) { return static_cast<int>(viewer.app.mainFrame()->mdiArea()->subWindowList().size()); }

} // namespace

class UnsavedEditsTest : public QObject {
    Q_OBJECT
private slots:
    void closingAnEditedDocumentAsksFirst_data()
    {
        QTest::addColumn<int>("how"); // 0 the window's close box, 1 File > Close, 2 Exit
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        const auto row = [](const char* name, int how, QMessageBox::StandardButton answer, bool closed, bool saved) {
            QTest::newRow(name) << how << static_cast<int>(answer) << closed << saved;
        };
        row("close box, cancel", 0, QMessageBox::Cancel, false, false);
        row("close box, no", 0, QMessageBox::No, true, false);
        row("close, yes", 1, QMessageBox::Yes, true, true);
        row("close, cancel", 1, QMessageBox::Cancel, false, false);
        row("exit, cancel", 2, QMessageBox::Cancel, false, false);
        row("exit, no", 2, QMessageBox::No, true, false);
        row("exit, yes", 2, QMessageBox::Yes, true, true);
    }

    void closingAnEditedDocumentAsksFirst()
    {
        QFETCH(int, how);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        // A file of ours, which Save writes over without asking for a name.
        const QString ours = viewer.dir.filePath(QStringLiteral("ours.dcm"));
        QCOMPARE(viewer.doc->save(ours), COrvoDoc::SaveResult::Saved);
        const QByteArray before = contents(ours);
        viewer.trigger(Command::FlipHorizontal);
        QVERIFY(viewer.doc->isModified());
        CMainFrame* frame = viewer.app.mainFrame();
        if (how == 0)
            frame->activeChild()->close();
        else
            viewer.trigger(how == 1 ? Command::Close : Command::Exit);

        QMessageBox* box = question(viewer);
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Save changes to ours.dcm?"));
        QCOMPARE(windowCount(viewer), 1);
        box->button(static_cast<QMessageBox::StandardButton>(answer))->click();
        QTRY_COMPARE(windowCount(viewer), closed ? 0 : 1);
        QCOMPARE(frame->isVisible(), !(closed && how == 2));
        QCOMPARE(contents(ours) != before, saved);
        if (!closed)
            QVERIFY(viewer.doc->isModified());
    }

    void undoneEditsCloseWithoutAQuestion()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::FlipHorizontal);
        viewer.trigger(Command::Undo);
        viewer.trigger(Command::Close);
        QVERIFY(!question(viewer));
        QTRY_COMPARE(windowCount(viewer), 0);
    }

    // Yes goes through Save: another program's file is not written over,
    // and cancelling the name that Save asks for then keeps the window.
    void cancelledSaveKeepsTheWindow()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        const QByteArray before = contents(viewer.path);
        viewer.trigger(Command::Rotate90Clockwise);
        viewer.trigger(Command::Close);
        QMessageBox* box = question(viewer);
        QVERIFY(box);
        box->button(QMessageBox::Yes)->click();
        QTRY_VERIFY(viewer.shown<QMessageBox>() && !question(viewer));
        viewer.shown<QMessageBox>()->accept(); // "I can't overwrite a file created by other ..."
        QTRY_VERIFY(viewer.shown<QFileDialog>());
        viewer.shown<QFileDialog>()->reject();
        QTest::qWait(10);
        QCOMPARE(windowCount(viewer), 1);
        QVERIFY(viewer.doc->isModified());
        QCOMPARE(contents(viewer.path), before);
    }
};

TV_REGISTER_TEST(UnsavedEditsTest);
#include "UnsavedEditsTest.moc"
