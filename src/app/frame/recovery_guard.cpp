#include "app/frame/recovery_guard.h"

#include "app/application_setup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>

namespace crackdepth::app {
namespace {

// Changes that can make the copy stale or unneeded; a mere selection changes no data.
constexpr std::uint32_t kRelevant = DocumentChange::Data | DocumentChange::History |
                                    DocumentChange::ProjectInfo | DocumentChange::FileOpened;

std::filesystem::path ownCopy(const std::filesystem::path& folder) {
    return folder / recoveryFileName(QCoreApplication::applicationPid(),
                                     QDateTime::currentMSecsSinceEpoch());
}

} // namespace

QString recoveryQuestion(const RecoveryCandidate& candidate) {
    const QString file = candidate.documentPath.empty()
                             ? QStringLiteral("（未命名）")
                             : QString::fromStdString(candidate.documentPath);
    const QString when = candidate.savedAt > 0
                             ? QDateTime::fromSecsSinceEpoch(candidate.savedAt)
                                   .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                             : QStringLiteral("未知");
    return QString::fromUtf8(kRecoveryQuestion) +
           QStringLiteral("\n\n程序上次没有正常结束，留下了未保存的修改。\n文件：%1\n自动保存于：%2"
                          "\n\n恢复：显示这些修改，保存时写入上述文件。\n放弃：删除这些修改。")
               .arg(file, when);
}

RecoveryGuard::RecoveryGuard(Document& document, const std::filesystem::path& folder,
                             QWidget* window, std::chrono::milliseconds interval)
    : document_(document), folder_(folder), window_(window), schedule_(interval),
      store_(ownCopy(folder)) {
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this,
            [this] { act(schedule_.tick(document_.IsModified())); });
    timer_.start();
    document_.addListener(this);
}

RecoveryGuard::~RecoveryGuard() {
    document_.removeListener(this);
    // The program ends as it should (whatever the operator chose about saving): no copy stays.
    store_.close();
}

void RecoveryGuard::documentChanged(const DocumentChange& change) {
    if ((change.flags & kRelevant) != 0) {
        act(schedule_.changed(document_.IsModified(), RecoverySchedule::Clock::now()));
    }
}

void RecoveryGuard::act(RecoverySchedule::Action action) {
    switch (action) {
    case RecoverySchedule::Action::None:
        return;
    case RecoverySchedule::Action::Remove:
        store_.remove();
        schedule_.removed();
        return;
    case RecoverySchedule::Action::Write:
        break;
    }
    const WriteOutcome outcome = store_.write(document_, QDateTime::currentSecsSinceEpoch());
    schedule_.written(outcome.ok, RecoverySchedule::Clock::now());
    if (!outcome.ok && !failureShown_) {
        // Once a run: the work goes on, but the operator should know it is not protected.
        failureShown_ = true;
        document_.prompts().message("无法写入恢复文件，程序意外结束时未保存的修改将丢失：\n" +
                                        store_.file().string() + "\n" + outcome.error,
                                    MessageIcon::Warning);
    }
}

bool RecoveryGuard::askInBox(const QString& question) const {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProgramName), question,
                    QMessageBox::NoButton, window_);
    QPushButton* restore = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

bool RecoveryGuard::offerLeftovers() {
    std::vector<ClaimedCopy> claims = ClaimLeftoverCopies(folder_, store_.file());
    for (ClaimedCopy& claim : claims) {
        const QString question = recoveryQuestion(claim.candidate);
        const bool restore = ask_ ? ask_(question) : askInBox(question);
        if (!restore) {
            DiscardCopy(claim);
            continue;
        }
        if (store_.restore(document_, std::move(claim))) {
            // The copies not yet offered stay for the next start.
            return true;
        }
    }
    return false;
}

} // namespace crackdepth::app
