// The application's high-score table: best first, at most kMaxHighscores rows, kept in
// "{AppPath}/conf/highscore.dat", and its exchange with a high-score server.
#include <algorithm>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/coder.h"
#include "engine/files/data_manager.h"
#include "engine/files/file_system.h"
#include "engine/core/log.h"
#include "engine/net/transfer_http.h"
#include "game/app/highscores.h"
#include "game/app/middle.h"

namespace {
const char* const kFile = "{AppPath}/conf/highscore.dat";
}  // namespace

vek::i32 cMiddle::AddHighscore(cHighscoreRow* row) {
  if (!row) return m_LastHighscoreRank = -1;
  m_Highscores.push_back(row);
  // Ascending and stable, then reversed: best first, a new row ahead of the old rows it ties.
  std::vector<cHighscoreRow*> rows(m_Highscores.begin(), m_Highscores.end());
  std::stable_sort(rows.begin(), rows.end(), [](const cHighscoreRow* a, const cHighscoreRow* b) { return a->IsLess(*b); });
  std::reverse(rows.begin(), rows.end());
  while (rows.size() > kMaxHighscores) {
    delete rows.back();
    rows.pop_back();
  }
  m_Highscores.assign(rows.begin(), rows.end());
  const auto it = std::find(rows.begin(), rows.end(), row);
  m_LastHighscoreRank = it == rows.end() ? -1 : static_cast<vek::i32>(it - rows.begin());
  return m_LastHighscoreRank;
}

vek::strlist cMiddle::GetHighscoreText() const {
  vek::strlist out;
  for (const cHighscoreRow* row : m_Highscores) out.push_back(row->GetText());
  return out;
}

void cMiddle::ReadHighscores() {
  vek::cFileSystem fs;
  if (!fs.Exist(kFile)) {
    vek::LogText("cMiddle", "  Highscores not found\n");
    return;
  }
  vek::cBitStream stream;
  if (vek::cDataManager::ReadBinary(&stream, kFile) == vek::cDataManager::Ok) {
    while (!stream.IsReadEnd()) {
      cHighscoreRow* row = CreateHighscoreRow();
      if (!row) break;
      if (!row->Read(stream)) {
        delete row;
        break;
      }
      m_Highscores.push_back(row);
    }
  }
  vek::LogText("cMiddle", "  Highscores loaded. %i row(s) found\n", static_cast<int>(m_Highscores.size()));
}

void cMiddle::WriteHighscores() {
  vek::cBitStream stream;
  for (cHighscoreRow* row : m_Highscores) {
    row->Write(stream);
    delete row;
  }
  m_Highscores.clear();
  const vek::filename file(kFile);
  if (vek::cDataManager::WriteBinary(&stream, file) != vek::cDataManager::Ok)
    vek::LogWarning("cAB", "Can't save highscores in %s file\n", file.path);
}

bool cMiddle::UploadHighscores() {
  if (!m_pTransfer) return false;
  m_pTransfer->Stop();
  vek::string text;
  for (const cHighscoreRow* row : m_Highscores) row->AppendUploadText(text);
  if (text.empty()) return false;
  const vek::cCoder coder(m_Settings.coderAlgorithms);
  if (!coder.Encode(text)) return false;
  m_pTransfer->Post(m_Settings.uploadAddress, "Data=" + text);
  return true;
}

vek::strlist cMiddle::DownloadHighscores() {
  vek::strlist out;
  if (!m_pTransfer) return out;
  vek::string reply = m_pTransfer->GetReply();
  m_pTransfer->Stop();
  if (reply.empty()) return out;
  const vek::cCoder coder(m_Settings.coderAlgorithms);
  if (!coder.Decode(reply)) return out;
  cHighscoreRow* row = CreateHighscoreRow();
  if (!row) return out;
  while (out.size() < kMaxHighscores && row->ParseText(reply)) out.push_back(row->GetText());
  delete row;
  return out;
}

bool cMiddle::IsTransferStarted() const { return m_pTransfer && m_pTransfer->GetState() != vek::cTransferHTTP::e_Idle; }

bool cMiddle::IsTransferNotRunning() const {
  return !m_pTransfer || m_pTransfer->GetState() != vek::cTransferHTTP::e_Running;
}

bool cMiddle::StopTransfer() {
  if (m_pTransfer) m_pTransfer->Stop();
  return true;
}
