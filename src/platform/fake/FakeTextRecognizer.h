#pragma once

#include "platform/TextRecognizer.h"

#include <mutex>
#include <thread>

namespace quorvale::platform {

// Answers every request with a scripted outcome and records what it was asked.
class FakeTextRecognizer : public TextRecognizer {
public:
    EngineOutcome read(const TextRecognitionRequest& request, const EnginePage& page) override {
        std::lock_guard lock(m_mutex);
        requests.push_back(request);
        pageSizes.push_back(page.image.size());
        threads.push_back(std::this_thread::get_id());
        return outcome;
    }
    void warmUp(const TextRecognitionRequest& request) override {
        std::lock_guard lock(m_mutex);
        warmedUp.push_back(request);
    }
    std::optional<QStringList> supportedRecognitionLanguages() override {
        std::lock_guard lock(m_mutex);
        return languages;
    }

    static EngineOutcome lines(const QStringList& texts) {
        std::vector<EngineLine> read;
        for (const QString& text : texts) {
            EngineLine line;
            line.text = text;
            read.push_back(line);
        }
        return EngineOutcome::success(std::move(read));
    }

    EngineOutcome outcome = lines({});
    std::optional<QStringList> languages = QStringList{"en-US"};
    std::vector<TextRecognitionRequest> requests;
    std::vector<TextRecognitionRequest> warmedUp;
    std::vector<QSize> pageSizes;
    std::vector<std::thread::id> threads;

private:
    std::mutex m_mutex;
};

} // namespace quorvale::platform
