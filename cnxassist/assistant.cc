#include "cnxassist/assistant.h"

#include <cstdio>

#include "cnxassist/etapes_environnement.h"
#include "cnxassist/process_watch.h"
#include "cnxassist/step_file.h"
#include "cnxassist/step_section.h"
#include "cnxassist/wizard_utils.h"
#include "common/format_text.h"
#include "platform/files.h"
#include "platform/system.h"

CAssistant* g_assistant = nullptr;

std::string LoadWizardString(int id) {
    char text[256];
    int n = plat::LoadString(static_cast<plat::Uint>(id), text, sizeof text);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string SignupFilePath() { return cnx::WorkingDirectory() + "\\modele_0.ins"; }

void DeleteSignupFile() {
    std::string path = SignupFilePath();
    if (!plat::CanOpenForReading(path.c_str())) return;
    cnx::ClearReadOnly(path);
    plat::DeleteFile(path.c_str());
}

CAssistant::CAssistant() {
    m_hwnd = plat::CreateDialogFromResource(IDD_ASSISTANT, 0, AssistantDlgProc);
}

CAssistant::~CAssistant() {
    cnx::ReleaseBitmaps(&m_config);
    delete m_first;
    if (m_hwnd != 0) plat::DestroyWindow(m_hwnd);
}

int CAssistant::OnInitDialog() {
    std::string iniPath = cnx::WorkingDirectory() + "\\" + cnx::StepFileName();
    if (!cnx::ReadGeneral(iniPath, &m_config)) {
        FatalError("probleme dans la section 'General' du fichier ini");
        return 1;
    }
    PlaceWindowAndButtons();
    m_pageRect = cnx::PageArea(m_config);
    // The sign-up steps keep the working file's path in a field of 127 characters and write the
    // subscriber's password into it: cut, it would name another file, never removed. Such a
    // directory stops the run before any step, and so any registry script, has run.
    if (SignupFilePath().size() > kSignupPathLongest) {
        std::string text = "Répertoire de travail trop long : " + cnx::WorkingDirectory();
        FatalError(text.c_str());
        return 1;
    }
    try {
        cnx::StepSectionScope section(iniPath, "IdentWindow");
        m_first = new CEtapeIdentWindow(m_hwnd, nullptr, &m_pageRect, "IdentWindow");
        m_current = m_first;
        m_left = nullptr;
        plat::PostMessage(m_hwnd, MSG_STEP_CHANGED, 0, 0);
    } catch (const CEtapeException& e) {
        char text[512];
        kit::FormatText(text, sizeof text, "probleme dans le fichier ini : %s", e.Message());
        FatalError(text);
    }
    if (!cnx::LoadProcessFunctions()) {
        FatalError("Impossible d'initialiser ToolHelp32");
        return 0;
    }
    plat::SetWindowText(
        m_hwnd, m_config.titre.empty() ? "Assistant de connexion Telvora" : m_config.titre.c_str());
    return 1;
}

void CAssistant::PlaceWindowAndButtons() {
    int width = m_config.tl & ~1;
    int height = m_config.th & ~1;
    int x = plat::ScreenWidth() / 2 - m_config.tl / 2;
    int y = plat::ScreenHeight() / 2 - m_config.th / 2;
    plat::SetWindowPos(m_hwnd, plat::kHwndTop, x, y, width, height, plat::kSwpNoZOrder);
    plat::ShowWindow(m_hwnd, plat::kSwShow);
    const struct {
        int id, x, y;
    } kButtons[] = {{ID_PRECEDENT, m_config.precx, m_config.precy},
                    {ID_SUIVANT, m_config.suivx, m_config.suivy},
                    {ID_QUITTER, m_config.quitx, m_config.quity}};
    for (const auto& button : kButtons) {
        plat::SetWindowPos(plat::GetDlgItem(m_hwnd, button.id), plat::kHwndTop, button.x, button.y,
                           0, 0, plat::kSwpNoSize | plat::kSwpNoZOrder);
    }
}

void CAssistant::OnPaint() {
    plat::PaintStruct paint;
    plat::Hdc dc = plat::BeginPaint(m_hwnd, &paint);
    plat::Hdc memory = plat::CreateCompatibleDC(dc);
    for (int i = 0; i < m_config.nbBitmaps; ++i) {
        const cnx::BitmapEntry& entry = m_config.bitmaps[i];
        plat::BitmapInfo info;
        if (!plat::GetBitmapInfo(entry.bitmap, &info)) continue;
        plat::Hgdiobj previous = plat::SelectObject(memory, entry.bitmap);
        plat::BitBlt(dc, entry.x, entry.y, info.width, info.height, memory, 0, 0, plat::kSrcCopy);
        plat::SelectObject(memory, previous);
    }
    plat::DeleteDC(memory);
    if (m_current != nullptr) m_current->Show(dc);
    plat::EndPaint(m_hwnd, &paint);
}

void CAssistant::Report(const CEtapeException& e) {
    if (e.Code() == 0) {
        FatalError(e.Message());
    } else {
        ShowError(e.Message());
    }
}

void CAssistant::OnStepChanged() {
    if (m_current == nullptr || m_ending) return;
    try {
        m_current->OnEnter();
    } catch (const CEtapeException& e) {
        Report(e);
    }
    plat::Hdc dc = plat::GetDC(m_hwnd);
    if (m_left != nullptr) m_left->Erase(dc);
    // OnEnter may have moved on already (the root step does): show whichever step is current.
    if (m_current != nullptr) m_current->Show(dc);
    plat::ReleaseDC(m_hwnd, dc);
    KeepAFocus();
}

void CAssistant::KeepAFocus() {
    plat::Hwnd focus = plat::GetFocus();
    if (focus != 0 && plat::GetParent(focus) == m_hwnd && plat::IsWindowVisible(focus) &&
        plat::IsWindowEnabled(focus)) {
        return;
    }
    // The page gave no focus (no item 1, no button with presence 3) and the control that had it
    // left with the previous page: the keyboard would reach nothing. The way forward first.
    for (int id : {ID_SUIVANT, ID_QUITTER, ID_PRECEDENT}) {
        plat::Hwnd button = plat::GetDlgItem(m_hwnd, id);
        if (plat::IsWindowVisible(button) && plat::IsWindowEnabled(button)) {
            plat::SetFocus(button);
            return;
        }
    }
}

void CAssistant::OnNext() {
    if (m_current == nullptr || m_ending) return;
    int endKind = m_current->GetEndKind();
    if (endKind != kOrdinaryStep) {
        EndOnLastStep(endKind);
        return;
    }
    Advance(0);
}

int CAssistant::Advance(int fromTimer) {
    // A warning from OnLeave does not block the move; a fatal one has already asked for the
    // end of the run.
    try {
        m_current->OnLeave();
    } catch (const CEtapeException& e) {
        Report(e);
    }
    if (m_ending) return kStepRaised;
    m_left = m_current;
    try {
        return m_current->GoNext(fromTimer);
    } catch (const CEtapeException& e) {
        Report(e);
        return kStepRaised;
    }
}

void CAssistant::OnPrevious() {
    if (m_current == nullptr || m_ending) return;
    m_left = m_current;
    m_current->GoPrevious();
}

void CAssistant::OnQuit() {
    if (m_current == nullptr || m_ending) return;
    int endKind = m_current->GetEndKind();
    if (endKind != kOrdinaryStep) {
        EndOnLastStep(endKind);
        return;
    }
    std::string caption = LoadWizardString(IDS_CAPTION);
    std::string question = LoadWizardString(IDS_QUIT_QUESTION);
    if (plat::MessageBox(m_hwnd, question.c_str(), caption.c_str(),
                         plat::kMbYesNo | plat::kMbIconQuestion) == plat::kIdYes) {
        m_ending = true;
        DeleteSignupFile();
        plat::PostQuitMessage(kQuitCode);
    }
}

void CAssistant::EndOnLastStep(int endKind) {
    m_ending = true;
    DeleteSignupFile();
    // The prompt comes before the quit message: a message box whose loop finds that message
    // waiting closes at once, and the user would never get to answer.
    if (endKind == kEndWithRestartPrompt) plat::PromptReboot(m_hwnd);
    plat::PostQuitMessage(kQuitCode);
}

void CAssistant::OnTimer(plat::Uint id) {
    if (id != kWaitTimerId || m_current == nullptr || m_ending) return;
    if (cnx::WatchedProcessRunning()) return;
    plat::KillTimer(m_hwnd, kWaitTimerId);
    // An error the step raised has been shown as it is; string 28 is for a step that could
    // not go on, the sign-up program having left the default connection as it was.
    // A warning would leave the step waiting for nothing, its buttons disabled: the run ends.
    int result = Advance(1);
    if (result == 0) {
        FatalErrorString(IDS_CANNOT_CONTINUE);
    } else if (result == kStepRaised && !m_ending) {
        // A warning: the run ends all the same, without a second box.
        m_ending = true;
        plat::PostQuitMessage(kQuitCode);
    }
}

void CAssistant::ShowError(const char* text) {
    std::string caption = LoadWizardString(IDS_CAPTION);
    plat::MessageBox(m_hwnd, text, caption.c_str(), plat::kMbOk | plat::kMbIconStop);
}

void CAssistant::FatalError(const char* text) {
    m_ending = true;
    ShowError(text);
    plat::PostQuitMessage(kQuitCode);
}

void CAssistant::FatalErrorString(int id) { FatalError(LoadWizardString(id).c_str()); }

std::intptr_t AssistantDlgProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                               plat::LParam lParam) {
    if (g_assistant == nullptr) return message == plat::kWmInitDialog ? 1 : 0;
    switch (message) {
        case plat::kWmInitDialog:
            return g_assistant->OnInitDialog();
        case plat::kWmPaint:
            g_assistant->OnPaint();
            return 0;
        case plat::kWmCommand: {
            if (plat::HiWord(wParam) != 0) return 0;
            int id = plat::LoWord(wParam);
            if (id == ID_PRECEDENT) {
                g_assistant->OnPrevious();
                return 1;
            }
            if (id == ID_SUIVANT) {
                g_assistant->OnNext();
                return 1;
            }
            if (id == ID_QUITTER) {
                g_assistant->OnQuit();
                return 1;
            }
            // A click while no step exists (the root step could not be built) or once the run
            // is ending does nothing.
            if (id >= kFirstControlId && g_assistant->m_current != nullptr &&
                !g_assistant->Ending()) {
                return g_assistant->m_current->OnControl(id);
            }
            return 0;
        }
        case plat::kWmTimer:
            g_assistant->OnTimer(static_cast<plat::Uint>(wParam));
            return 0;
        case MSG_STEP_CHANGED:
            g_assistant->OnStepChanged();
            return 0;
        default:
            return 0;
    }
}
