#pragma once

#include "platform/TextRecognizer.h"

#include <mutex>
#include <thread>

namespace quorvale::platform {

// Answers every request with a scripted outcome and records what it was asked.
class FakeTextRecognizer : public TextRecognizer {
public:
    RecognitionOutcome perform(const TextRecognitionRequest& request,
                               const QImage& image) override {
        std::lock_guard lock(m_mutex);
        requests.push_back(request);
        imageSizes.push_back(image.size());
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

    static RecognitionOutcome lines(const QStringList& texts) {
        std::vector<RecognizedTextObservation> observations;
        for (const QString& text : texts) {
            observations.push_back({QStringList{text}, {}});
        }
        return RecognitionOutcome::success(std::move(observations));
    }

    RecognitionOutcome outcome = lines({});
    std::optional<QStringList> languages = QStringList{"en-US"};
    std::vector<TextRecognitionRequest> requests;
    std::vector<TextRecognitionRequest> warmedUp;
    std::vector<QSize> imageSizes;
    std::vector<std::thread::id> threads;

private:
    std::mutex m_mutex;
};

} // namespace quorvale::platform
