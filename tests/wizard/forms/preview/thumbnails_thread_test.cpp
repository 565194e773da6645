// The thumbnail worker behind the thumbnail view: what it asks the engine, how it stops,
// and that nothing it sends outlives the list it was made for.

#include <QAction>
#include <QListView>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QTest>

#include <climits>

#include <gtest/gtest.h>

#include "wizard/forms/preview/preview_fixture.h"
#include "wizard/support/wait_until.h"

namespace {

class ThumbnailsThreadTest : public PreviewTest {
protected:
    // The page's thumbnail view with the engine held in its first call.
    static bool StartHeld(TPreviewContent& page) {
        HoldThumbnails();
        page.MiViewAsTrumbnailsClick();
        return WaitUntilHeld();
    }

    // Lets every held call go, or only the one waiting, once `worker` has been asked to
    // stop, or when it never is, before the hold would end by itself: the held worker
    // lives until then.
    static std::thread ReleaseWhenStopAsked(TThumbnailsThread* worker, bool onlyOne = false) {
        return std::thread([worker, onlyOne] {
            const auto giveUp = std::chrono::steady_clock::now() + kLongestHold / 2;
            while (!worker->isInterruptionRequested() && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            onlyOne ? ReleaseOneThumbnail() : ReleaseThumbnails();
        });
    }
};

TEST_F(ThumbnailsThreadTest, ASecondRunAsksOnlyForElementsWithoutAThumbnail) {
    AddNumbered(sectorList, 4);
    pictures = {512, 1536};  // e0 and e2 have pictures
    TPreviewDriveSectors& page = SectorsPage();
    page.TabSheetShow();
    SelectRows(page, {3});
    const QString question = QStringLiteral(
        "Do you really want to reset the size of all selected files to 'Unknown'? During the recovery process "
        "you'll be asked to enter a new size for each file.");
    prompts.expect(question, kPromptCancel);
    page.MiResetFileSizeClick();
    EXPECT_EQ(sectorList[3].Size(), 400);
    prompts.expect(question, kPromptOk);
    page.Action(PreviewAction::ResetSize)->trigger();  // e3: unknown size
    EXPECT_EQ(sectorList[3].Size(), -1);
    EXPECT_EQ(sectorList[2].Size(), 300);
    EXPECT_EQ(page.Model().index(3, 3).data().toString(), QString());
    EXPECT_EQ(prompts.shown().back().caption, QStringLiteral("Confirmation"));

    page.MiViewAsTrumbnailsClick();
    EXPECT_TRUE(page.InThumbnailView());
    EXPECT_FALSE(page.Action(PreviewAction::SortBy)->isEnabled());
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 3);
    EXPECT_FALSE(unknownSizeAsked);
    EXPECT_TRUE(page.Action(PreviewAction::SortBy)->isEnabled());

    const TImageList& thumbnails = images->ImageListTrumbnails;
    EXPECT_EQ(thumbnails.At(sectorList[0].ThumbnailIndex()).toImage().pixelColor(0, 0), QColor(1, 1, 1));
    EXPECT_EQ(thumbnails.At(sectorList[2].ThumbnailIndex()).toImage().pixelColor(0, 0), QColor(3, 3, 3));
    // No picture: the placeholder of the extension, made once and shared.
    EXPECT_GE(sectorList[1].ThumbnailIndex(), 3);
    EXPECT_EQ(thumbnails.Count(), 3 + 3);
    // Unknown size: the placeholder is shown but not kept.
    EXPECT_EQ(sectorList[3].ThumbnailIndex(), 0);
    EXPECT_EQ(page.Model().index(3, 0).data(TFoundFilesModel::ThumbnailRole).value<QPixmap>().toImage(),
              thumbnails.At(sectorList[1].ThumbnailIndex()).toImage());

    AddNumbered(sectorList, 2);
    page.TabSheetShow();  // in the thumbnail view: the new elements get theirs
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 5);
    EXPECT_EQ(page.Model().rowCount(), 6);
    EXPECT_FALSE(unknownSizeAsked);
}

TEST_F(ThumbnailsThreadTest, StoppingWhileTheEngineBlocksThenClearingLeavesNothingBehind) {
    AddNumbered(fileSystemList, 3);
    pictures = {512, 1024, 1536};
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    ASSERT_TRUE(StartHeld(page));
    std::thread release = ReleaseWhenStopAsked(ThumbnailsThread());
    StopThumbnails();  // returns once the blocked call has come back, with its result
    release.join();
    EXPECT_EQ(ThumbnailsThread(), nullptr);
    EXPECT_EQ(thumbnailCalls, 1);  // stopped before its next element
    EXPECT_EQ(fileSystemList[0].ThumbnailIndex(), 3);
    fileSystemList.Clear();
    EXPECT_EQ(page.Model().rowCount(), 0);
    EXPECT_TRUE(page.Action(PreviewAction::SortBy)->isEnabled());

    // A list cleared under a running worker: the worker has its own copies, and what it
    // sends afterwards is dropped.
    AddNumbered(fileSystemList, 3);
    HoldThumbnails();
    page.TabSheetShow();  // in the thumbnail view: a worker starts
    ASSERT_TRUE(WaitUntilHeld());
    fileSystemList.Clear();
    ReleaseThumbnails();
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 1 + 3);
    EXPECT_EQ(images->ImageListTrumbnails.Count(), 4);
}

TEST_F(ThumbnailsThreadTest, TheOtherPagesThumbnailsStopTheFirstWorkerBeforeItsNextElement) {
    AddNumbered(fileSystemList, 5);
    AddNumbered(sectorList, 2);
    TPreviewFileSystem& first = FileSystemPage();
    TPreviewDriveSectors& second = SectorsPage();
    first.TabSheetShow();
    second.TabSheetShow();
    ASSERT_TRUE(StartHeld(first));
    const QPointer<TThumbnailsThread> firstWorker = ThumbnailsThread();
    std::thread release = ReleaseWhenStopAsked(firstWorker);
    second.MiViewAsTrumbnailsClick();
    release.join();
    EXPECT_TRUE(firstWorker.isNull());  // stopped and gone
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 1 + 2);
    EXPECT_EQ(fileSystemList[1].ThumbnailIndex(), 0);
    EXPECT_GT(sectorList[1].ThumbnailIndex(), 0);
    // The stopped page's end leaves its view as it was and sorting on.
    EXPECT_TRUE(first.InThumbnailView());
    EXPECT_TRUE(first.Action(PreviewAction::SortBy)->isEnabled());

    // Back on the first page, its worker goes on where it stopped.
    first.TabSheetShow();
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 3 + 4);
}

TEST_F(ThumbnailsThreadTest, AnOldWorkersEndLeavesTheNewOneAlone) {
    AddNumbered(fileSystemList, 2);
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    ASSERT_TRUE(StartHeld(page));
    const QPointer<TThumbnailsThread> old = ThumbnailsThread();
    std::thread release = ReleaseWhenStopAsked(old, true);
    // The restart stops the old worker; its end arrives while the new one is held.
    page.MiViewAsTrumbnailsClick();
    release.join();
    TThumbnailsThread* current = ThumbnailsThread();
    EXPECT_NE(current, nullptr);
    EXPECT_TRUE(old.isNull());
    ASSERT_TRUE(WaitUntilHeld());
    QCoreApplication::processEvents();
    EXPECT_EQ(ThumbnailsThread(), current);
    EXPECT_FALSE(page.Action(PreviewAction::SortBy)->isEnabled());
    ReleaseThumbnails();
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_TRUE(page.Action(PreviewAction::SortBy)->isEnabled());
    EXPECT_EQ(thumbnailCalls, 1 + 1);  // the first element's result came with the stop
}

TEST_F(ThumbnailsThreadTest, AnEmptyListEndsAtOnceAndTheWorkerNeverReadsTheList) {
    TPreviewFileSystem& page = FileSystemPage();
    page.MiViewAsTrumbnailsClick();
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_EQ(thumbnailCalls, 0);

    // A sort while the worker runs moves nothing under it: it works on its own copy.
    AddNumbered(fileSystemList, 4);
    pictures = {512, 1024, 1536, 2048};
    HoldThumbnails();
    page.TabSheetShow();  // in the thumbnail view: a worker starts
    ASSERT_TRUE(WaitUntilHeld());
    page.ListViewColumnClick(3);
    page.ListViewColumnClick(3);
    ReleaseThumbnails();
    ASSERT_TRUE(WaitForThumbnails());
    for (std::size_t i = 0; i < fileSystemList.Count(); ++i) {
        const TBaseElement& element = fileSystemList[i];
        const QColor colour = images->ImageListTrumbnails.At(element.ThumbnailIndex()).toImage().pixelColor(0, 0);
        EXPECT_EQ(colour.red() * 512, int(element.Record().DataPosition)) << element.Name();
    }
}

// A paint device that keeps the texts drawn on it, nothing else.
class TextRecorder final : public QPaintDevice {
public:
    QStringList texts() const { return engine_.texts; }
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 2000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    struct Engine final : QPaintEngine {
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        // The other shapes come down to these two.
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
        Type type() const override { return User; }
        QStringList texts;
    };
    mutable Engine engine_;
};

TEST_F(ThumbnailsThreadTest, ACaptionTooLongForItsCellKeepsItsExtension) {
    fileSystemList.Add(Make({.RecordNumber = 1, .Name = u"holiday_in_the_mountains_with_friends_0001.JPG"}));
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    page.resize(600, 400);
    page.MiViewAsTrumbnailsClick();
    ASSERT_TRUE(WaitForThumbnails());
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    auto* view = page.findChild<QListView*>(QStringLiteral("PreviewFileSystemListViewThumbnails"));
    ASSERT_NE(view, nullptr);
    TextRecorder recorder;
    QPainter painter(&recorder);
    view->viewport()->render(&painter);
    painter.end();
    const QString caption = recorder.texts().join(QString());
    EXPECT_TRUE(caption.endsWith(QStringLiteral(".JPG"))) << caption.toStdString();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("holiday"))) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QChar(0x2026))) << caption.toStdString();
}

}  // namespace
