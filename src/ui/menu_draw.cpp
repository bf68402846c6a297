// Drawing the menu over the frozen picture, and the notices over the running game.
#include <algorithm>

#include "ui/menu_text.h"
#include "ui/pause_flow.h"

namespace ui {
namespace {

constexpr int kCell = 8;
constexpr int kRowHeight = 16;
constexpr int kMaxVisibleRows = 9;
constexpr int kSide = 8;           // the panel's frame at the sides
constexpr int kTop = 16;           // and at the top and bottom
constexpr int kDialogHeight = 48;  // content height of the confirm and message pages
constexpr int kPageWidths[] = {30, 38, 38, 36, 34, 32, 38, 38, 34, 34};
constexpr int kPageTitles[] = {kTextPaused, kTextSaveGame, kTextLoadGame,        kTextSettings,
                               kTextCheats, kTextTeleport, kTextKeyboardMapping, kTextControllerMapping};
constexpr int kCheatFooters[] = {kTextAboutLives, kTextAboutEnergy, kTextAboutTimers, kTextAboutTeleport};

constexpr std::uint8_t kSpeaker[8] = {0x10, 0x32, 0xF1, 0xF2, 0xF1, 0xF2, 0x30, 0x10};
constexpr std::uint8_t kSpeakerMuted[8] = {0x10, 0x30, 0xF5, 0xF2, 0xF5, 0xF0, 0x30, 0x10};
constexpr std::uint8_t kPlus[8] = {0x00, 0x18, 0x18, 0x7E, 0x18, 0x18, 0x00, 0x00};

struct Panel {
  int x, y, w, h;  // w, h in cells
  int innerLeft() const { return x + kSide; }
  int innerRight() const { return x + w * kCell - kSide; }
  int innerWidth() const { return w * kCell - 2 * kSide; }
  int innerTop() const { return y + kTop; }
  int innerHeight() const { return h * kCell - 2 * kTop; }
  int contentTop() const { return innerTop() + 24; }
};

Panel pagePanel(int widthCells, int contentHeight) {
  const int cells = (contentHeight + 47) / kCell;
  return Panel{(40 - widthCells) * 4, (23 - cells) * 4, widthCells, cells + 5};
}

void dim(Picture& picture) {
  for (std::uint32_t& p : picture.pixels) {
    const std::uint32_t r = ((p >> 16 & 0xFF) * 150) >> 8, g = ((p >> 8 & 0xFF) * 150) >> 8,
                        b = ((p & 0xFF) * 150) >> 8;
    p = 0xFF000000u | r << 16 | g << 8 | b;
  }
}

}  // namespace

void PauseFlow::compose(Picture& picture) {
  if (stack_.empty()) {
    if (noticeFrames_ > 0) {
      --noticeFrames_;
      drawNotice(picture);
    }
    return;
  }
  if (background_.width == picture.width && background_.height == picture.height &&
      background_.pixels.size() == picture.pixels.size())
    picture.pixels = background_.pixels;
  dim(picture);
  drawPage(picture, stack_.back());
}

void PauseFlow::drawNotice(Picture& picture) const {
  const int d = std::min(static_cast<int>(foldText(noticeText_).size()) + 4, 40);
  const int x = std::max(316 - kCell * d, 0);
  const Panel panel{x, 2, d, 6};
  art_.drawPanel(picture, panel.x, panel.y, panel.w, panel.h);
  const int width = MenuArt::creditsWidth(noticeText_);
  art_.drawCredits(picture, panel.x + (panel.w * kCell - width) / 2, panel.innerTop() + 4, noticeText_,
                   art_.firstColour);
}

void PauseFlow::drawPage(Picture& picture, const PageRecord& page) const {
  if (page.kind == kPageConfirm || page.kind == kPageMessage)
    drawDialog(picture, page);
  else
    drawListPage(picture, page);
}

void PauseFlow::drawListPage(Picture& picture, const PageRecord& page) const {
  const std::vector<PageRow> list = rows(page.kind);
  const int visible = std::min(static_cast<int>(list.size()), kMaxVisibleRows);
  const Panel panel = pagePanel(kPageWidths[page.kind], kRowHeight * visible);
  art_.drawPanel(picture, panel.x, panel.y, panel.w, panel.h);

  const std::string title = text(kPageTitles[page.kind]);
  art_.drawScreens(picture, panel.x + (panel.w * kCell - MenuArt::screensWidth(title)) / 2, panel.y + 12, title, false);
  MenuArt::fillRect(picture, panel.x + 8 + kSide, panel.y + 30, panel.innerWidth() - 16, 1, art_.secondColour);

  std::string footer;
  switch (page.kind) {
    case kPageMain:
      footer = text(inGame_ ? kTextFooterResume : kTextFooterBack);
      break;
    case kPageSave:
      footer = text(kTextFooterSave);
      break;
    case kPageLoad:
      footer = text(std::any_of(slots_.begin(), slots_.end(), [](const SlotInfo& s) { return s.readable; })
                        ? kTextFooterLoad
                        : kTextFooterNoSaves);
      break;
    case kPageSettings:
      footer = text(kTextFooterSettings);
      break;
    case kPageCheats:
      footer = text(kCheatFooters[std::clamp(page.row, 0, 3)]);
      break;
    case kPageTeleport:
      footer = text(kTextFooterGo);
      break;
    case kPageKeys:
      footer = text(capture_ == kCaptureKey ? kTextFooterPressKey : kTextFooterChange);
      break;
    case kPageButtons:
      footer = text(capture_ == kCaptureButton ? kTextFooterPressButton : kTextFooterChange);
      break;
    default:
      break;
  }
  art_.drawCredits(picture, panel.x + (panel.w * kCell - MenuArt::creditsWidth(footer)) / 2,
                   panel.innerTop() + panel.innerHeight() - 8, footer, art_.secondColour);

  const bool centred = page.kind == kPageMain || page.kind == kPageTeleport;
  for (int i = 0; i < visible; ++i) {
    const int r = page.first + i;
    if (r >= static_cast<int>(list.size())) break;
    const PageRow& row = list[static_cast<std::size_t>(r)];
    const int y = panel.contentTop() + kRowHeight * i;
    if (r == page.row) {
      const int barWidth = panel.innerWidth() / kCell * kCell;
      art_.drawBar(picture, panel.innerLeft() + (panel.innerWidth() - barWidth) / 2, y, barWidth);
    }
    const bool disabled = !row.selectable || row.dim;
    int labelX = panel.innerLeft() + 8;
    if (centred) labelX = panel.x + (panel.w * kCell - MenuArt::screensWidth(row.label)) / 2;
    if (row.valueKind == PageRow::Value::kSlot) {
      labelX = panel.innerLeft() + 32;
      const SlotInfo& info = slots_[static_cast<std::size_t>(row.number)];
      if (info.readable && info.thumb && info.thumb->size() == static_cast<std::size_t>(kThumbWidth * kThumbHeight)) {
        const int tx = panel.innerLeft() + 8, ty = y + 3;
        MenuArt::fillRect(picture, tx - 1, ty - 1, kThumbWidth + 2, kThumbHeight + 2, art_.firstColour);
        for (int j = 0; j < kThumbHeight; ++j)
          for (int k = 0; k < kThumbWidth; ++k)
            MenuArt::fillRect(picture, tx + k, ty + j, 1, 1,
                              (*info.thumb)[static_cast<std::size_t>(j * kThumbWidth + k)] | 0xFF000000u);
      }
    }
    art_.drawScreens(picture, labelX, y, row.label, disabled);
    drawRowValue(picture, row, panel.innerLeft(), panel.innerRight(), y, disabled);
  }
  // "+" marks for rows hidden above and below the window.
  if (page.first > 0)
    MenuArt::drawBits(picture, panel.innerRight() - 8, panel.contentTop() - 9, kPlus, art_.secondColour);
  if (page.first + visible < static_cast<int>(list.size()))
    MenuArt::drawBits(picture, panel.innerRight() - 8, panel.contentTop() + kRowHeight * visible, kPlus,
                      art_.secondColour);
}

void PauseFlow::drawRowValue(Picture& picture, const PageRow& row, int innerLeft, int innerRight, int y,
                             bool dim) const {
  (void)innerLeft;
  if (row.value.empty()) return;
  const int end = innerRight - 8;
  switch (row.valueKind) {
    case PageRow::Value::kScreens:
      art_.drawScreens(picture, end - MenuArt::screensWidth(row.value), y, row.value, dim);
      break;
    case PageRow::Value::kCredits:
    case PageRow::Value::kSlot:
      art_.drawCredits(picture, end - MenuArt::creditsWidth(row.value), y + 1 + 4, row.value,
                       dim ? art_.secondColour : art_.firstColour);
      break;
    case PageRow::Value::kVolume: {
      MenuArt::drawBits(picture, innerRight - 96, y + 1, row.number == 0 ? kSpeakerMuted : kSpeaker, art_.firstColour);
      const int bottom = y + 1 + 8;
      for (int i = 0; i < 10; ++i) {
        const int h = i * 6 / 9 + 2;
        MenuArt::fillRect(picture, innerRight - 84 + 4 * i, bottom - h, 2, h,
                          i < row.number ? art_.firstColour : art_.emptySegmentColour);
      }
      art_.drawScreens(picture, end - MenuArt::screensWidth(row.value), y, row.value, dim);
      break;
    }
    default:
      break;
  }
}

void PauseFlow::drawDialog(Picture& picture, const PageRecord& page) const {
  const Panel panel = pagePanel(kPageWidths[page.kind], kDialogHeight);
  art_.drawPanel(picture, panel.x, panel.y, panel.w, panel.h);
  const std::array<std::string, 3> texts = dialogTexts();
  art_.drawScreens(picture, panel.x + (panel.w * kCell - MenuArt::screensWidth(texts[0])) / 2, panel.y + 12, texts[0],
                   false);
  MenuArt::fillRect(picture, panel.x + 8 + kSide, panel.y + 30, panel.innerWidth() - 16, 1, art_.secondColour);
  const int top = panel.contentTop();
  for (int line = 1; line <= 2; ++line)
    if (!texts[static_cast<std::size_t>(line)].empty())
      art_.drawCredits(picture,
                       panel.x + (panel.w * kCell - MenuArt::creditsWidth(texts[static_cast<std::size_t>(line)])) / 2,
                       top + 10 * (line - 1), texts[static_cast<std::size_t>(line)], art_.firstColour);
  const std::string footer = text(page.kind == kPageConfirm ? kTextFooterChoose : kTextFooterOk);
  art_.drawCredits(picture, panel.x + (panel.w * kCell - MenuArt::creditsWidth(footer)) / 2,
                   panel.innerTop() + panel.innerHeight() - 8, footer, art_.secondColour);

  const std::vector<PageRow> buttons = rows(page.kind);
  const int buttonY = top + 32;
  if (page.kind == kPageConfirm) {
    const int left = panel.innerLeft() + (panel.innerWidth() - 208) / 2;
    for (int k = 0; k < 2; ++k) {
      const int cell = left + 112 * k;
      if (page.row == k) art_.drawBar(picture, cell, buttonY, 96);
      const std::string& label = buttons[static_cast<std::size_t>(k)].label;
      art_.drawScreens(picture, cell + (96 - MenuArt::screensWidth(label)) / 2, buttonY, label, false);
    }
  } else {
    const int cell = panel.x + (panel.w * kCell - 64) / 2;
    art_.drawBar(picture, cell, buttonY, 64);
    const std::string& label = buttons[0].label;
    art_.drawScreens(picture, cell + (64 - MenuArt::screensWidth(label)) / 2, buttonY, label, false);
  }
}

}  // namespace ui
