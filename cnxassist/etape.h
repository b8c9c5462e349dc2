// The step base class of the connection wizard. Every step is one section of the step file;
// the window drives the protocol below and the step tree lives until the end of the run.
#pragma once

#include <memory>

#include "cnxassist/etape_exception.h"
#include "cnxassist/page.h"
#include "common/bounded_text.h"
#include "platform/draw.h"
#include "platform/types.h"
#include "platform/window.h"

// Ids of the page controls: a control numbered k on a page gets g_nextControlId + k - 1 when
// its step is built; steps that refer to their controls move the counter past them.
constexpr int kFirstControlId = 23046;
// A click names its control in 16 bits: no page control can have a larger id.
constexpr int kLastControlId = 0xFFFF;
extern int g_nextControlId;

// What the window does when Next or Quit is pressed on the step.
enum EndKind { kEndWithRestartPrompt = 0, kEndStep = 1, kOrdinaryStep = 2 };

class CEtape {
  public:
    CEtape(plat::Hwnd window, CEtape* previous, const plat::Rect* pageRect, const char* name);
    virtual ~CEtape();
    CEtape(const CEtape&) = delete;
    CEtape& operator=(const CEtape&) = delete;

    virtual void OnEnter() {}
    virtual void OnLeave() {}
    virtual int OnReturn() { return 1; }
    // fromTimer: 0 after the Next button, 1 when the wait for the sign-up program ended.
    virtual int GoNext(int fromTimer);
    virtual int GoPrevious();
    virtual int GetEndKind() { return kOrdinaryStep; }
    virtual int OnControl(int id) { return 1; }

    // Applies the three buttons' presence values, then draws the page.
    void Show(plat::Hdc dc);
    // Erases the page with the inactive border colour.
    void Erase(plat::Hdc dc);

    const char* Name() const { return m_name.c_str(); }
    const char* IniPath() const { return m_iniPath.c_str(); }

  protected:
    // Makes `step` the wizard's current step and tells the window.
    void MakeCurrent(CEtape* step);
    // Posts a click on the Next button: steps that need no user action move on by it.
    void PostNextClick();

    CEtape* m_previous;
    CEtape* m_next = nullptr;
    kit::FixedText<128> m_name;
    kit::FixedText<128> m_iniPath;
    // The step's page, parsed and its controls made when the step is built; null without
    // "Description".
    std::unique_ptr<CPage> m_page;
    kit::FixedText<128> m_suivants;
    kit::FixedText<128> m_description;
    int m_presenceSuivant = 1;
    int m_presencePrecedent = 1;
    int m_presenceQuitter = 1;
    plat::Rect m_pageRect;
    plat::Hwnd m_hwnd;
};

// Reads a text key of a step's section with a buffer of `capacity` bytes.
std::string ReadStepString(const CEtape& step, const char* key, std::size_t capacity);
// Reads a text key through a 512-byte buffer for a field of `fieldCapacity` bytes. A longer
// value is refused with a fatal error naming the key and the section: cut, a program name could
// start another program and a step name could name another step.
std::string ReadStepField(const CEtape& step, const char* key, std::size_t fieldCapacity);
int ReadStepInt(const CEtape& step, const char* key, int defaultValue);
