// The recovery copy in the running program: a regular check and the document's changes drive
// the core's schedule, which says when the copy is written or removed; at start the copies
// that ended programs left are offered ("发现未保存的修改…", 恢复 / 放弃). A clean end removes
// this program's copy.
#pragma once

#include "core/document/model/document.h"
#include "core/document/model/recovery_schedule.h"
#include "core/document/model/recovery_store.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>

class QWidget;

namespace crackdepth::app {

class RecoveryGuard final : public QObject, public DocumentListener {
    Q_OBJECT

public:
    // The question about one copy; true for "恢复", false for "放弃".
    using Ask = std::function<bool(const QString& question)>;

    // The copy is kept in `folder` (the settings folder) under a name of this program's own;
    // questions are asked over `window`.
    RecoveryGuard(Document& document, const std::filesystem::path& folder, QWidget* window,
                  std::chrono::milliseconds interval = RecoverySchedule::kInterval);
    ~RecoveryGuard() override;
    RecoveryGuard(const RecoveryGuard&) = delete;
    RecoveryGuard& operator=(const RecoveryGuard&) = delete;

    void setAsk(Ask ask) { ask_ = std::move(ask); }

    // Offers each copy left by a program that ended, newest first, until one is restored;
    // true when one was. A copy declined with "放弃" is deleted.
    bool offerLeftovers();

    const std::filesystem::path& file() const { return store_.file(); }
    // True while the copy on disk holds every change made.
    bool upToDate() const { return schedule_.upToDate(); }

    void documentChanged(const DocumentChange& change) override;

private:
    void act(RecoverySchedule::Action action);
    bool askInBox(const QString& question) const;

    Document& document_;
    std::filesystem::path folder_;
    QWidget* window_;
    RecoverySchedule schedule_;
    RecoveryStore store_;
    QTimer timer_;
    Ask ask_;
    bool failureShown_ = false;
};

// The question about one copy: where the lost document was and when the copy was written.
QString recoveryQuestion(const RecoveryCandidate& candidate);

} // namespace crackdepth::app
