#pragma once

#include "common/Result.h"
#include "platform/TextRecognizer.h"

#include <QRect>
#include <QSet>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct Pix;
namespace tesseract {
class TessBaseAPI;
}

namespace quorvale::platform {

// Text recognition with Tesseract's LSTM engine. Loaded engines are kept warm between
// calls, one per concurrent call, because an engine serves one thread at a time.
class TesseractTextRecognizer : public TextRecognizer {
public:
    // Told once per language that was asked for but has no data installed; called on
    // the recognising thread.
    using NoticeHandler = std::function<void(QString)>;

    // About 25 MB per loaded language; a typical session reuses one engine.
    static constexpr int kMaxIdleEngines = 2;

    // With twoEnginesPerPage a page given in two parts is read on two cores at once, when
    // there are two: faster for one-off reading, at the cost of a second engine's load and
    // memory.
    explicit TesseractTextRecognizer(NoticeHandler notice = {}, bool twoEnginesPerPage = false);
    ~TesseractTextRecognizer() override;

    EngineOutcome read(const TextRecognitionRequest& request, const EnginePage& page) override;
    int partsReadAtOnce() const override;
    void warmUp(const TextRecognitionRequest& request) override;
    std::optional<QStringList> supportedRecognitionLanguages() override;

    // The data folder: TESSDATA_PREFIX when set, else Debian's; or how to get one.
    static Result<QString, QString> tessdataDirectory();

private:
    struct EngineDeleter {
        void operator()(tesseract::TessBaseAPI* engine) const;
    };
    using Engine = std::unique_ptr<tesseract::TessBaseAPI, EngineDeleter>;
    struct IdleEngine {
        QString key;
        Engine engine;
    };

    // The traineddata to load for the identifiers; tellMissing tells the user once about
    // each language that has no data here.
    Result<QStringList, QString> engineLanguages(const QStringList& identifiers,
                                                 const QSet<QString>& installed, bool tellMissing);
    // An idle engine, or (waitForWarmUp) one being warmed up for the key once it is ready;
    // else a new one
    // that reads the given languages or, with scriptDetection, only tells which script the
    // page is written in (the "osd" data, legacy classifier).
    Result<Engine, QString> takeEngine(const QString& key, const QString& directory,
                                       const QString& languages, bool dictionaries,
                                       bool scriptDetection = false, bool waitForWarmUp = true);
    static Result<Engine, QString> makeEngine(const QString& directory, const QString& languages,
                                              bool dictionaries, bool scriptDetection);
    // The installed languages for the script of the page, "eng" for Latin; nothing when
    // the script is unknown, unsure or has no data here.
    std::optional<QStringList> languagesForScriptOf(Pix* page, const QString& directory,
                                                    const QSet<QString>& installed);
    Result<std::vector<EngineLine>, QString> readStrip(const QString& key, const QString& directory,
                                                       const QString& languages, bool dictionaries,
                                                       Pix* page, const QRect& strip, int ppi,
                                                       bool waitForWarmUp);
    void giveBack(QString key, Engine engine);
    void keepIdle(QString key, Engine engine); // m_mutex held

    NoticeHandler m_notice;
    const bool m_twoEngines;
    std::mutex m_mutex;
    std::vector<IdleEngine> m_idle; // least recently used first
    QSet<QString> m_warming;        // keys of engines being loaded in the background
    std::condition_variable m_warmed;
    std::vector<std::thread> m_warmers;
    QSet<QString> m_noticed;
};

} // namespace quorvale::platform
