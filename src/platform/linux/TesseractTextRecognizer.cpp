#include "platform/linux/TesseractTextRecognizer.h"

#include "platform/LanguageTable.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <future>
#include <sched.h>
#include <string>
#include <thread>

namespace quorvale::platform {
namespace {

const QString kTraineddataSuffix = QStringLiteral(".traineddata");
const QStringList kDebianTessdata = {QStringLiteral("/usr/share/tesseract-ocr/5/tessdata"),
                                     QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata")};
const QString kDefaultTraineddata = QStringLiteral("eng");
const QString kScriptTraineddata = QStringLiteral("osd");
// The engine's own scale; below this its guess is often wrong on a few short lines.
constexpr float kMinScriptConfidence = 2.0f;

QSet<QString> installedTraineddata(const QString& directory) {
    QSet<QString> names;
    const QStringList files = QDir(directory).entryList({QStringLiteral("*") + kTraineddataSuffix},
                                                        QDir::Files | QDir::Readable);
    for (const QString& file : files) {
        names.insert(file.chopped(kTraineddataSuffix.size()));
    }
    return names;
}

bool holdsTraineddata(const QString& directory) {
    const QFileInfo info(directory);
    return info.isDir() && info.isReadable() && !installedTraineddata(directory).isEmpty();
}

// Debian's libtesseract runs its matrix work through OpenMP, whose thread start-up
// costs more than it saves on screen-sized images, and several recognitions may run at
// once anyway. OMP_THREAD_LIMIT only counts if set before the library loads, so turn
// parallel regions off for the calling thread instead (the setting is per thread).
void keepEngineOnThisThread() {
    using SetMaxActiveLevels = void (*)(int);
    static const auto setMaxActiveLevels =
        reinterpret_cast<SetMaxActiveLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"));
    if (setMaxActiveLevels) {
        setMaxActiveLevels(0);
    }
}

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

PixPtr toPix(const QImage& grey, int ppi) {
    PixPtr pix(pixCreate(grey.width(), grey.height(), 8));
    if (!pix) {
        return pix;
    }
    l_uint32* data = pixGetData(pix.get());
    const int wordsPerLine = pixGetWpl(pix.get());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* source = grey.constScanLine(y);
        l_uint32* line = data + qint64(y) * wordsPerLine;
        for (int x = 0; x < grey.width(); ++x) {
            SET_DATA_BYTE(line, x, source[x]);
        }
    }
    pixSetResolution(pix.get(), ppi, ppi);
    return pix;
}

// Dictionaries are loaded at start-up, so they are part of what an engine is.
QString engineKey(const QString& directory, const QString& languages, bool dictionaries) {
    return directory + QLatin1Char('|') + languages +
           (dictionaries ? QStringLiteral("|dict") : QStringLiteral("|plain"));
}

QString displayName(const QString& identifier) {
    return LanguageTable::englishName(identifier).value_or(identifier);
}

QString packagesNeeded(const QStringList& names, const QStringList& packages) {
    if (packages.isEmpty()) {
        return QCoreApplication::translate("TesseractTextRecognizer", "No recognition data for %1")
            .arg(names.join(QStringLiteral(", ")));
    }
    const QString noun =
        packages.size() == 1 ? QStringLiteral("the package") : QStringLiteral("the packages");
    return QCoreApplication::translate("TesseractTextRecognizer",
                                       "No recognition data for %1: install %2 %3")
        .arg(names.join(QStringLiteral(", ")), noun, packages.join(QStringLiteral(", ")));
}

int usableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return CPU_COUNT(&set);
    }
    return int(std::thread::hardware_concurrency());
}

QString utf8Text(const tesseract::ResultIterator& it, tesseract::PageIteratorLevel level) {
    std::unique_ptr<char[]> utf8(it.GetUTF8Text(level));
    QString text = utf8 ? QString::fromUtf8(utf8.get()) : QString();
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    return text;
}

QRect boxOf(const tesseract::ResultIterator& it, tesseract::PageIteratorLevel level,
            QPoint offset) {
    int left = 0, top = 0, right = 0, bottom = 0;
    it.BoundingBox(level, &left, &top, &right, &bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).translated(offset);
}

float confidenceOf(const tesseract::ResultIterator& it, tesseract::PageIteratorLevel level) {
    return std::clamp(it.Confidence(level), 0.0f, 100.0f);
}

// Lines in the engine's reading order, word by word and symbol by symbol, placed on the
// page (the engine saw the part of it at `offset`).
std::vector<EngineLine> readLines(tesseract::TessBaseAPI& engine, QPoint offset) {
    using tesseract::RIL_SYMBOL;
    using tesseract::RIL_TEXTLINE;
    using tesseract::RIL_WORD;
    std::vector<EngineLine> read;
    std::unique_ptr<tesseract::ResultIterator> it(engine.GetIterator());
    if (!it) {
        return read;
    }
    do {
        if (it->Empty(RIL_TEXTLINE)) {
            continue;
        }
        EngineLine line;
        line.text = utf8Text(*it, RIL_TEXTLINE);
        line.box = boxOf(*it, RIL_TEXTLINE, offset);
        line.confidence = confidenceOf(*it, RIL_TEXTLINE);
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        line.baseline = it->Baseline(RIL_TEXTLINE, &x1, &y1, &x2, &y2) ? (y1 + y2) / 2 + offset.y()
                                                                       : line.box.bottom();
        tesseract::ResultIterator glyph(*it);
        do {
            if (glyph.Empty(RIL_SYMBOL)) {
                continue;
            }
            if (glyph.IsAtBeginningOf(RIL_WORD) || line.words.empty()) {
                line.words.push_back({utf8Text(glyph, RIL_WORD),
                                      boxOf(glyph, RIL_WORD, offset),
                                      confidenceOf(glyph, RIL_WORD),
                                      glyph.BlanksBeforeWord(),
                                      {}});
            }
            line.words.back().symbols.push_back({utf8Text(glyph, RIL_SYMBOL),
                                                 boxOf(glyph, RIL_SYMBOL, offset),
                                                 confidenceOf(glyph, RIL_SYMBOL)});
        } while (!glyph.IsAtFinalElement(RIL_TEXTLINE, RIL_SYMBOL) && glyph.Next(RIL_SYMBOL));
        read.push_back(std::move(line));
    } while (it->Next(RIL_TEXTLINE));
    return read;
}

} // namespace

void TesseractTextRecognizer::EngineDeleter::operator()(tesseract::TessBaseAPI* engine) const {
    engine->End();
    delete engine;
}

TesseractTextRecognizer::TesseractTextRecognizer(NoticeHandler notice, bool twoEnginesPerPage)
    : m_notice(std::move(notice))
    , m_twoEngines(twoEnginesPerPage && usableCores() >= 2) {}

TesseractTextRecognizer::~TesseractTextRecognizer() {
    std::vector<std::thread> warmers;
    {
        std::lock_guard lock(m_mutex);
        warmers.swap(m_warmers);
    }
    for (std::thread& warmer : warmers) {
        warmer.join();
    }
}

Result<QString, QString> TesseractTextRecognizer::tessdataDirectory() {
    const QString prefix = qEnvironmentVariable("TESSDATA_PREFIX");
    if (!prefix.isEmpty()) {
        // Tesseract 5 wants the folder itself; older setups named its parent.
        for (const QString& candidate : {prefix, prefix + QStringLiteral("/tessdata")}) {
            if (holdsTraineddata(candidate)) {
                return Result<QString, QString>::success(QDir::cleanPath(candidate));
            }
        }
        return Result<QString, QString>::failure(
            QStringLiteral("TESSDATA_PREFIX is set to %1, which holds no readable recognition "
                           "data (*.traineddata): point it to the folder holding "
                           "eng.traineddata, or unset it to use %2")
                .arg(prefix, kDebianTessdata.first()));
    }
    for (const QString& candidate : kDebianTessdata) {
        if (holdsTraineddata(candidate)) {
            return Result<QString, QString>::success(candidate);
        }
    }
    return Result<QString, QString>::failure(
        QCoreApplication::translate("TesseractTextRecognizer",
                                    "No recognition data found in %1: install the package "
                                    "tesseract-ocr-eng, or set TESSDATA_PREFIX to a folder holding "
                                    ".traineddata files")
            .arg(kDebianTessdata.first()));
}

std::optional<QStringList> TesseractTextRecognizer::supportedRecognitionLanguages() {
    const auto directory = tessdataDirectory();
    if (!directory.isSuccess()) {
        return std::nullopt;
    }
    QStringList identifiers;
    for (const QString& name : installedTraineddata(directory.value())) {
        if (const auto identifier = LanguageTable::identifierForTraineddata(name)) {
            identifiers << *identifier;
        }
    }
    const QString english = *LanguageTable::identifierForTraineddata(kDefaultTraineddata);
    std::sort(identifiers.begin(), identifiers.end(),
              [&english](const QString& a, const QString& b) {
                  if ((a == english) != (b == english)) {
                      return a == english;
                  }
                  return a < b;
              });
    return identifiers;
}

Result<QStringList, QString>
TesseractTextRecognizer::engineLanguages(const QStringList& identifiers,
                                         const QSet<QString>& installed, bool tellMissing) {
    using Outcome = Result<QStringList, QString>;
    if (identifiers.isEmpty()) {
        if (installed.contains(kDefaultTraineddata)) {
            return Outcome::success({kDefaultTraineddata});
        }
        return Outcome::failure(
            packagesNeeded({displayName(QStringLiteral("en-US"))},
                           {LanguageTable::packageForTraineddata(kDefaultTraineddata)}));
    }
    QStringList languages;
    struct Missing {
        QString key; // traineddata, or the identifier when no data exists at all
        QString name;
        QStringList package;
    };
    std::vector<Missing> missing;
    for (const QString& identifier : identifiers) {
        const auto traineddata = LanguageTable::traineddataForIdentifier(identifier);
        if (traineddata && installed.contains(*traineddata)) {
            if (!languages.contains(*traineddata)) {
                languages << *traineddata;
            }
            continue;
        }
        const QString key = traineddata.value_or(identifier);
        if (std::any_of(missing.begin(), missing.end(),
                        [&key](const Missing& m) { return m.key == key; })) {
            continue;
        }
        QStringList package;
        if (traineddata) {
            package << LanguageTable::packageForTraineddata(*traineddata);
        }
        missing.push_back({key, displayName(identifier), package});
    }
    if (languages.isEmpty()) {
        QStringList names;
        QStringList packages;
        for (const Missing& m : missing) {
            names << m.name;
            packages << m.package;
        }
        return Outcome::failure(packagesNeeded(names, packages));
    }
    QStringList notices;
    if (tellMissing) {
        std::lock_guard lock(m_mutex);
        for (const Missing& m : missing) {
            if (!m_noticed.contains(m.key)) {
                m_noticed.insert(m.key);
                notices << packagesNeeded({m.name}, m.package);
            }
        }
    }
    if (m_notice) {
        for (const QString& notice : notices) {
            m_notice(notice);
        }
    }
    return Outcome::success(languages);
}

Result<TesseractTextRecognizer::Engine, QString>
TesseractTextRecognizer::takeEngine(const QString& key, const QString& directory,
                                    const QString& languages, bool dictionaries,
                                    bool scriptDetection, bool waitForWarmUp) {
    {
        std::unique_lock lock(m_mutex);
        if (waitForWarmUp) {
            m_warmed.wait(lock, [this, &key] { return !m_warming.contains(key); });
        }
        const auto found = std::find_if(m_idle.rbegin(), m_idle.rend(),
                                        [&key](const IdleEngine& idle) { return idle.key == key; });
        if (found != m_idle.rend()) {
            Engine engine = std::move(found->engine);
            m_idle.erase(std::next(found).base());
            return Result<Engine, QString>::success(std::move(engine));
        }
    }
    return makeEngine(directory, languages, dictionaries, scriptDetection);
}

Result<TesseractTextRecognizer::Engine, QString>
TesseractTextRecognizer::makeEngine(const QString& directory, const QString& languages,
                                    bool dictionaries, bool scriptDetection) {
    using Outcome = Result<Engine, QString>;
    std::vector<std::string> names = {"debug_file"};
    std::vector<std::string> values = {"/dev/null"};
    if (!dictionaries) {
        names.insert(names.end(), {"load_system_dawg", "load_freq_dawg"});
        values.insert(values.end(), {"0", "0"});
    }
    Engine engine(new tesseract::TessBaseAPI);
    const QByteArray path = QFile::encodeName(directory);
    const QByteArray languageList = languages.toUtf8();
    const auto mode = scriptDetection ? tesseract::OEM_TESSERACT_ONLY : tesseract::OEM_LSTM_ONLY;
    if (engine->Init(path.constData(), languageList.constData(), mode, nullptr, 0, &names, &values,
                     false) != 0) {
        return Outcome::failure(QCoreApplication::translate(
                                    "TesseractTextRecognizer",
                                    "Could not load the recognition data %1 from %2: reinstall the "
                                    "tesseract-ocr language packages")
                                    .arg(languages, directory));
    }
    if (scriptDetection) {
        engine->SetPageSegMode(tesseract::PSM_OSD_ONLY);
        return Outcome::success(std::move(engine));
    }
    engine->SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
    engine->SetVariable("preserve_interword_spaces", "1");
    // Every part of the page arrives dark-on-light already; reading doubtful lines a
    // second time inverted only costs time.
    engine->SetVariable("invert_threshold", "0");
    return Outcome::success(std::move(engine));
}

std::optional<QStringList>
TesseractTextRecognizer::languagesForScriptOf(Pix* page, const QString& directory,
                                              const QSet<QString>& installed) {
    if (!installed.contains(kScriptTraineddata)) {
        return std::nullopt;
    }
    const QString key = engineKey(directory, kScriptTraineddata, false);
    auto taken = takeEngine(key, directory, kScriptTraineddata, false, true);
    if (!taken.isSuccess()) {
        return std::nullopt;
    }
    Engine engine = std::move(taken.value());
    keepEngineOnThisThread();
    engine->SetImage(page);
    int degrees = 0;
    float orientationConfidence = 0;
    const char* script = nullptr;
    float scriptConfidence = 0;
    const bool detected = engine->DetectOrientationScript(&degrees, &orientationConfidence, &script,
                                                          &scriptConfidence);
    const QString name = detected && script ? QString::fromUtf8(script) : QString();
    engine->Clear();
    giveBack(key, std::move(engine));
    if (name.isEmpty() || scriptConfidence < kMinScriptConfidence) {
        return std::nullopt;
    }
    const auto languages = LanguageTable::traineddataForScript(name);
    if (!languages || !installed.contains(*languages)) {
        return std::nullopt;
    }
    return QStringList{*languages};
}

void TesseractTextRecognizer::giveBack(QString key, Engine engine) {
    std::lock_guard lock(m_mutex);
    keepIdle(std::move(key), std::move(engine));
}

void TesseractTextRecognizer::keepIdle(QString key, Engine engine) {
    m_idle.push_back({std::move(key), std::move(engine)});
    if (m_idle.size() > std::size_t(kMaxIdleEngines)) {
        m_idle.erase(m_idle.begin());
    }
}

void TesseractTextRecognizer::warmUp(const TextRecognitionRequest& request) {
    const auto directory = tessdataDirectory();
    if (!directory.isSuccess()) {
        return;
    }
    // Missing languages are told about when a recognition needs them, not now.
    const auto languages = engineLanguages(request.recognitionLanguages,
                                           installedTraineddata(directory.value()), false);
    if (!languages.isSuccess()) {
        return;
    }
    const QString joined = languages.value().join(QLatin1Char('+'));
    const bool dictionaries = request.usesLanguageCorrection;
    QString key = engineKey(directory.value(), joined, dictionaries);
    std::lock_guard lock(m_mutex);
    const bool ready = std::any_of(m_idle.begin(), m_idle.end(),
                                   [&key](const IdleEngine& idle) { return idle.key == key; });
    if (ready || m_warming.contains(key)) {
        return;
    }
    m_warming.insert(key);
    m_warmers.emplace_back(
        [this, key = std::move(key), directory = directory.value(), joined, dictionaries] {
            auto made = makeEngine(directory, joined, dictionaries, false);
            {
                std::lock_guard lock(m_mutex);
                m_warming.remove(key);
                if (made.isSuccess()) {
                    keepIdle(key, std::move(made.value()));
                }
            }
            m_warmed.notify_all();
        });
}

int TesseractTextRecognizer::partsReadAtOnce() const {
    return m_twoEngines ? 2 : 1;
}

EngineOutcome TesseractTextRecognizer::read(const TextRecognitionRequest& request,
                                            const EnginePage& page) {
    const auto fail = [](const QString& description) {
        return EngineOutcome::failure(RecognitionEngineError{description});
    };
    const auto directory = tessdataDirectory();
    if (!directory.isSuccess()) {
        return fail(directory.error());
    }
    const QSet<QString> installed = installedTraineddata(directory.value());
    auto languages = engineLanguages(request.recognitionLanguages, installed, true);
    if (!languages.isSuccess()) {
        return fail(languages.error());
    }
    if (page.image.isNull() || page.image.width() < 1 || page.image.height() < 1) {
        return EngineOutcome::success({});
    }
    PixPtr pix = toPix(page.image.convertToFormat(QImage::Format_Grayscale8), page.ppi);
    if (!pix) {
        return fail(QCoreApplication::translate("TesseractTextRecognizer",
                                                "Not enough memory to recognise the image"));
    }

    // Listed languages are loaded together and the engine picks among them word by word.
    // With none listed, the script detector names the page's script and its language is
    // used ("eng" for Latin, so accents outside English may be misread); when it is unsure
    // or that language is not installed, English.
    if (request.recognitionLanguages.isEmpty() && request.automaticallyDetectsLanguage) {
        if (auto detected = languagesForScriptOf(pix.get(), directory.value(), installed)) {
            languages = Result<QStringList, QString>::success(std::move(*detected));
        }
    }

    const QString joined = languages.value().join(QLatin1Char('+'));
    const bool dictionaries = request.usesLanguageCorrection;
    const QString key = engineKey(directory.value(), joined, dictionaries);
    const auto readPart = [&](const QRect& part, bool waitForWarmUp) {
        return readStrip(key, directory.value(), joined, dictionaries, pix.get(), part, page.ppi,
                         waitForWarmUp);
    };
    const QRect whole = page.image.rect();
    std::vector<QRect> parts;
    for (const QRect& part : page.parts) {
        if (!part.intersected(whole).isEmpty()) {
            parts.push_back(part.intersected(whole));
        }
    }
    if (parts.empty()) {
        parts.push_back(whole);
    }
    // The engine being warmed up reads the first part; the others get their own at once.
    std::vector<std::future<Result<std::vector<EngineLine>, QString>>> others;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        others.push_back(std::async(std::launch::async, readPart, parts[i], false));
    }
    std::vector<Result<std::vector<EngineLine>, QString>> halves;
    halves.push_back(readPart(parts.front(), true));
    for (auto& other : others) {
        halves.push_back(other.get());
    }
    std::vector<EngineLine> lines;
    for (auto& half : halves) {
        if (!half.isSuccess()) {
            return fail(half.error());
        }
        lines.insert(lines.end(), std::make_move_iterator(half.value().begin()),
                     std::make_move_iterator(half.value().end()));
    }
    return EngineOutcome::success(std::move(lines));
}

Result<std::vector<EngineLine>, QString>
TesseractTextRecognizer::readStrip(const QString& key, const QString& directory,
                                   const QString& languages, bool dictionaries, Pix* page,
                                   const QRect& strip, int ppi, bool waitForWarmUp) {
    using Outcome = Result<std::vector<EngineLine>, QString>;
    auto taken = takeEngine(key, directory, languages, dictionaries, false, waitForWarmUp);
    if (!taken.isSuccess()) {
        return Outcome::failure(taken.error());
    }
    Engine engine = std::move(taken.value());
    // Two strips are cut from the page at once; the engine would otherwise take a
    // reference to the page itself, and Leptonica's reference counts are not atomic.
    PixPtr part;
    if (strip != QRect(0, 0, int(pixGetWidth(page)), int(pixGetHeight(page)))) {
        BOX* box = boxCreate(strip.x(), strip.y(), strip.width(), strip.height());
        part.reset(pixClipRectangle(page, box, nullptr));
        boxDestroy(&box);
        if (!part) {
            giveBack(key, std::move(engine));
            return Outcome::failure(QCoreApplication::translate(
                "TesseractTextRecognizer", "Not enough memory to recognise the image"));
        }
    }
    keepEngineOnThisThread();
    engine->SetImage(part ? part.get() : page);
    engine->SetSourceResolution(ppi);
    if (engine->Recognize(nullptr) != 0) {
        engine->Clear();
        giveBack(key, std::move(engine));
        return Outcome::failure(QCoreApplication::translate(
            "TesseractTextRecognizer", "The recognition engine could not read the image"));
    }
    std::vector<EngineLine> lines = readLines(*engine, strip.topLeft());
    engine->Clear();
    giveBack(key, std::move(engine));
    return Outcome::success(std::move(lines));
}

} // namespace quorvale::platform
