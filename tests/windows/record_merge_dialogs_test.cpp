// The game window's text record and merge windows, driven as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

#include "model/byte_stream.h"
#include "model/text_record.h"
#include "support/big5.h"
#include "testkit/game_fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"
#include "windows/merge_dialog.h"
#include "windows/text_record_dialog.h"

namespace marovin::windows {
namespace {

QString shown(const std::string& big5)
{
    return QString::fromStdString(big5ToUtf8(big5)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

class RecordAndMerge : public ::testing::Test {
protected:
    void SetUp() override
    {
        testkit::qtApplication();
        game = rig.list().open(true);
        ASSERT_NE(game, nullptr);
        game->Rewind();
        game->PlayMove(70, 67, model::MoveKind::User); // H2-E2
        game->SetNote("a central cannon", false);
        game->PlayMove(1, 20, model::MoveKind::User); // B9-C7
    }
    std::string record() const
    {
        model::StringSink sink;
        model::WriteTextRecord(*game, sink);
        return sink.text;
    }
    testkit::GameRig rig;
    model::CGame* game = nullptr;
};

TEST_F(RecordAndMerge, TheRecordTakesDiagramsAtTheCursorAndIsCopiedInBothCodes)
{
    const std::string big5 = record();
    const auto rows = model::TextDiagram(*game);
    for (const bool push : {true, false}) {
        CTextRecordDlg dialog(*game, QFont(), rig.desktop);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("文字棋譜"));
        ASSERT_EQ(dialog.text()->toPlainText(), shown(big5));
        // The cursor after "    局名" on the first line: Big5 column 8.
        QTextCursor cursor(dialog.text()->document()->findBlockByNumber(0));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 6);
        dialog.text()->setTextCursor(cursor);
        QTest::mouseClick(push ? dialog.pushTextButton() : dialog.moveTextButton(), Qt::LeftButton);
        const auto how = push ? model::DiagramInsertion::PushTextRight : model::DiagramInsertion::MoveTextToNextLine;
        EXPECT_EQ(dialog.text()->toPlainText(), shown(model::InsertDiagram(big5, 0, 8, rows, how))) << push;
        EXPECT_EQ(dialog.text()->textCursor().blockNumber(), 0);
    }

    CTextRecordDlg dialog(*game, QFont(), rig.desktop);
    QTest::mouseClick(dialog.copyButton(), Qt::LeftButton);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), shown(big5));
    EXPECT_EQ(copied->data(QStringLiteral("text/plain;charset=big5")).toStdString(), big5);
    EXPECT_FALSE(dialog.text()->textCursor().hasSelection());

    // Text that Big5 cannot carry is never turned into question marks by an insertion.
    dialog.text()->appendPlainText(QStringLiteral("将"));
    const QString before = dialog.text()->toPlainText();
    QTest::mouseClick(dialog.pushTextButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.text()->toPlainText(), before);
    ASSERT_FALSE(rig.desktop.boxes.empty());
    EXPECT_NE(rig.desktop.boxes.back().find("Big5"), std::string::npos);
}

TEST_F(RecordAndMerge, MergeChoosesFilesAndADirectionAndStoresTheNoteOption)
{
    testkit::TempFolder folder;
    const QString first = QString::fromStdString(folder.write("first.gam", "GAME\r\nSTART\r\n"));
    folder.write("second.gam", "GAME\r\nSTART\r\n");
    Options options{};
    options.mergeAppendNotes = 0;
    {
        CMergeGameDlg dialog(options, rig.desktop, first);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Merge Game From/To Files"));
        EXPECT_FALSE(dialog.appendNotes()->isChecked());
        dialog.appendNotes()->click();
        EXPECT_EQ(+options.mergeAppendNotes, 1) << "stored at once";
        QTest::mouseClick(dialog.fromButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.direction(), -1);
        EXPECT_EQ(dialog.files(), QStringList{first}) << "the last file is chosen to begin with";
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        CMergeGameDlg dialog(options, rig.desktop, first);
        EXPECT_TRUE(dialog.appendNotes()->isChecked());
        dialog.chooser()->selectFile(QStringLiteral("\"first.gam\" \"second.gam\""));
        QTest::mouseClick(dialog.toButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.direction(), +1);
        EXPECT_EQ(dialog.files().size(), 2) << dialog.files().join(QLatin1Char(',')).toStdString();
    }
    {
        CMergeGameDlg dialog(options, rig.desktop, QString::fromStdString(folder.file("none")));
        dialog.chooser()->selectFile(QString());
        rig.desktop.boxes.clear();
        QTest::mouseClick(dialog.fromButton(), Qt::LeftButton);
        EXPECT_EQ(rig.desktop.boxes, std::vector<std::string>{"Please select files first!"});
        EXPECT_EQ(dialog.direction(), 0);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
}

} // namespace
} // namespace marovin::windows
