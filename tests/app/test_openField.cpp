// Opening a field in the window: a realistic global wind file by the command line, File ->
// Open and a drop on the view; the choice of u, v and level for an ambiguous file; refusals,
// which leave the previous state and say why in the hint line; and the tabs' data sets.
#include "app/fieldOpenMenu.h"
#include "app/myclass.h"
#include "app/panelLayout.h"
#include "app/tabReadUnstdyDat.h"
#include "globalWinds.h"
#include "view/viewFixture.h"

#include <QLineEdit>
#include <QMimeData>

class TestOpenField : public QObject
{
    Q_OBJECT

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<MyClass> window;
    FlowView* view = nullptr;
    QString winds;

    QImage frame() { return view->grabFramebuffer(); }
    QColor hintColour() const { return window->ui.labHint->palette().color(QPalette::WindowText); }
    // A refused file keeps the shown frame, pixel for pixel, and says why in red.
    void checkRefused(const std::function<void()>& open, const QString& why)
    {
        const QImage before = frame();
        const DataManipulate* field = view->dataMani.get();
        open();
        QCOMPARE(frame(), before);
        QCOMPARE(view->dataMani.get(), field);
        QVERIFY2(window->ui.labHint->text().contains(why), qPrintable(window->ui.labHint->text()));
        QCOMPARE(hintColour(), QColor(Qt::red));
    }

private slots:
    void initTestCase()
    {
        workdir = std::make_unique<ViewWorkdir>();
        workdir->writeField(
            int3{40, 40, 2},
            [](int i, int j, int)
            {
                const float x = float(i) - 20.3f, y = float(j) - 19.6f;
                return float2{-y * (1.0f + 0.01f * x * x), x * (1.0f + 0.01f * y * y)};
            });
        winds = QDir::current().absoluteFilePath("winds.nc");
        writeGlobalWinds(winds.toStdString(), 30);
        window = std::make_unique<MyClass>();
        view = window->flowView2d;
        window->show();
        window->activateWindow(); // for the shortcut
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->ui.cbLICBkImgOn->setChecked(true);
        window->ui.cbCenter->setChecked(true);
    }
    void cleanupTestCase()
    {
        window.reset();
        workdir.reset();
    }

    // By argument: the whole field centred and as wide as the view, every step on the slider,
    // land in its colour, the import's scale in the hint, the title, marks fitted to 144 cells
    // and the ticked centres found again on the new field; a reset reloads the file.
    void opensRealisticFieldByArgument()
    {
        QCOMPARE(view->criticalpntDetect->centerCnt, 1);
        QVERIFY(window->openFromArguments({winds}));
        const int3 size = view->dataMani->flowFieldSize;
        QCOMPARE(size.x, 144);
        QCOMPARE(size.y, 73);
        QCOMPARE(size.z, 30);
        // The 73 rows fill rows 148 to 451 of the view, the 144 columns all of its width.
        const QImage shown = frame();
        for (const auto& [x, y, inField] : {std::tuple{300, 140, false},
                                            {300, 160, true},
                                            {300, 440, true},
                                            {300, 460, false},
                                            {1, 300, true},
                                            {598, 300, true}})
            QVERIFY2((shown.pixel(x, y) != qRgb(255, 255, 255)) == inField,
                     qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
        QCOMPARE(shown.pixel(pixelAt(*view, 40.5f, 52.5f)), qRgb(194, 178, 128)); // 100 E, 40 N
        QCOMPARE(window->ui.hSliUnstdyInterTimeID->maximum(), 30);
        QCOMPARE(window->findChild<QLabel*>("labCurrMarkSize")->text(), QString("29 %"));
        QVERIFY(window->windowTitle().startsWith("winds.nc"));
        QVERIFY(window->ui.labHint->text().contains("(the import's default)"));
        CritpntDetect fresh;
        fresh.genAllCritpntData(view->dataMani->orgnvectField2dSlice[0], 36.0f,
                                &view->dataMani->flowFieldSize);
        QCOMPARE(view->criticalpntDetect->centerCnt, fresh.centerCnt);
        QCOMPARE(view->criticalpntDetect->allPntCnt, fresh.allPntCnt);
        view->resetView();
        QCOMPARE(view->openedFile(), winds);
        // The LIC's noise goes on with the random sequence, so only the land stays the same.
        QCOMPARE(frame().pixel(pixelAt(*view, 40.5f, 52.5f)), qRgb(194, 178, 128));
    }

    // A drop of a file that is no field, with a real event, and Ctrl+O on a file too large for
    // memory; then Ctrl+O on a good file opens it.
    void refusalsKeepTheState()
    {
        workdir->write("junk.dat", "not a field");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath("junk.dat"))});
        checkRefused(
            [&]
            {
                QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
                QApplication::sendEvent(view, &enter);
                QVERIFY(enter.isAccepted());
                QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
                QApplication::sendEvent(view, &drop);
            },
            "junk.dat: neither a NetCDF file");
        {
            NetcdfFile huge("huge.nc", NC_CLOBBER | NC_NETCDF4);
            const std::vector<int> dims = {huge.dimension("time", 300), huge.dimension("lat", 721),
                                           huge.dimension("lon", 1440)};
            huge.variable("u", NC_FLOAT, dims);
            huge.variable("v", NC_FLOAT, dims);
        }
        QString asked = "huge.nc";
        window->fieldOpenMenu->askPath = [&] { return asked; };
        checkRefused([&] { QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier); },
                     "--times 0:");
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(hintColour() != QColor(Qt::red)); // until the next action
        asked = winds;
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(view->openedFile(), winds);
    }

    // No velocity by name, two levels: the user picks the variables, then the level.
    void asksForVariablesAndLevel()
    {
        {
            NetcdfFile file("plain.nc", NC_CLOBBER);
            const std::vector<int> dims = {file.dimension("lev", 2), file.dimension("y", 4),
                                           file.dimension("x", 5)};
            const int lev = file.variable("lev", NC_FLOAT, {dims[0]});
            file.text(lev, "axis", "Z");
            const int a = file.variable("a", NC_FLOAT, dims);
            const int b = file.variable("b", NC_FLOAT, dims);
            file.put(lev, {1000.0, 850.0});
            file.put(a, std::vector<double>(40, 1.0));
            file.put(b, std::vector<double>(40, 2.0));
        }
        std::vector<FieldRequest::Candidates> asked;
        window->fieldOpenMenu->choose =
            [&](const FieldRequest::Candidates& offered, NetcdfField::Selection& selection)
        {
            asked.push_back(offered);
            selection = {"b", "a", 1, false};
            return true;
        };
        QVERIFY(window->fieldOpenMenu->openFile("plain.nc"));
        QCOMPARE(asked.size(), size_t(2));
        QCOMPARE(asked[0].variables, (std::vector<std::string>{"a", "b"}));
        QCOMPARE(asked[1].levels, 2);
        QCOMPARE(view->dataMani->orgnvectField2d[0].x, 2.0f * view->dataMani->orgnvectField2d[0].y);
    }

    // "OK" loads the boxes' paths: a series of three levels opens, its slider spans them and
    // the title and marks are the window's own again.
    void tabLoadsASeriesOfAnyDepth()
    {
        workdir->write("s/header.txt", "2 1 6 5 3 2\n"); // 6 x 5, 3 levels, 2 steps
        for (const char* name :
             {"s/Uf/Uf01.dat", "s/Uf/Uf02.dat", "s/Vf/Vf01.dat", "s/Vf/Vf02.dat"})
            workdir->write(name, std::string(4 * 6 * 5 * 3, '\0'));
        window->rdUbstdyDat->leUnstdyHdrDir->setText("s/header.txt");
        window->rdUbstdyDat->leUnstdyDatDir->setText("s/Uf/Uf01.dat");
        window->ui.btnconfirmUnstdyFile->click();
        QCOMPARE(view->dataMani->flowFieldSize.x, 6);
        QCOMPARE(window->ui.hSliUnstdySliceID->maximum(), 3);
        QCOMPARE(window->windowTitle(), QString("Quorvel"));
        QCOMPARE(window->panelLayout->hSliMarkSize->value(), 100);
        QVERIFY(view->openedFile().isEmpty());
        window->rdUbstdyDat->leUnstdyHdrDir->setText("s/missing.txt");
        checkRefused([&] { window->ui.btnconfirmUnstdyFile->click(); }, "s/missing.txt");
    }

    // A U in a folder above the header's names no component: "OK" on the V file loads U from Uf.
    void tabFindsTheComponentBelowTheHeader()
    {
        workdir->write("Us/header.txt", "2 1 6 5 3 2\n");
        for (const char* name :
             {"Us/Uf/Uf01.dat", "Us/Uf/Uf02.dat", "Us/Vf/Vf01.dat", "Us/Vf/Vf02.dat"})
            workdir->write(name, std::string(4 * 6 * 5 * 3, '\0'));
        window->rdUbstdyDat->leUnstdyHdrDir->setText("Us/header.txt");
        window->rdUbstdyDat->leUnstdyDatDir->setText("Us/Vf/Vf01.dat");
        window->ui.btnconfirmUnstdyFile->click();
        QCOMPARE(view->unstdyDatPth, QString("Us/Uf/Uf01.dat"));
    }
};

QTEST_MAIN(TestOpenField)
#include "test_openField.moc"
