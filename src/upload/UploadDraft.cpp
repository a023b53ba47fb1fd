#include "UploadDraft.h"

namespace pellora {

UploadDraft::UploadDraft(UploaderConfig config, QObject* parent)
    : QObject(parent), m_uploader(new GitHubUploader(std::move(config), this))
{
    connect(m_uploader, &GitHubUploader::stateChanged, this, [this](const UploadState& state) {
        if (state.kind == UploadState::Kind::success && texts == m_sent)
            texts = {};
    });
}

void UploadDraft::send(const UploadTexts& sent, const SubmissionEntry& entry, const QStringList& tokens)
{
    m_sent = sent;
    m_uploader->upload(entry, tokens);
}

} // namespace pellora
