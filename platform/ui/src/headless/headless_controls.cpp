// The headless backend's controls: buttons, drop-down lists and trackbars, with
// the platform's rules for indexes, selection and ranges.
#include <algorithm>

#include "headless_node.h"

namespace ui {

namespace {

template <typename Items>
bool ValidIndex(const Items& items, int index) {
    return index >= 0 && static_cast<size_t>(index) < items.size();
}

}  // namespace

int HeadlessBackend::GetCheck(HWND button) {
    const Node* node = Find(button);
    return node ? node->check : BST_UNCHECKED;
}

void HeadlessBackend::SetCheck(HWND button, int check) {
    if (Node* node = Find(button)) node->check = check;
}

int HeadlessBackend::ComboAddString(HWND combo, const std::wstring& text) {
    Node* node = Find(combo);
    if (node == nullptr) return CB_ERR;
    node->items.push_back(Node::Item{text, 0});
    return static_cast<int>(node->items.size() - 1);
}

void HeadlessBackend::ComboResetContent(HWND combo) {
    if (Node* node = Find(combo)) {
        node->items.clear();
        node->curSel = -1;
    }
}

int HeadlessBackend::ComboGetCount(HWND combo) {
    const Node* node = Find(combo);
    return node ? static_cast<int>(node->items.size()) : CB_ERR;
}

int HeadlessBackend::ComboGetCurSel(HWND combo) {
    const Node* node = Find(combo);
    return node && node->curSel >= 0 ? node->curSel : CB_ERR;
}

int HeadlessBackend::ComboSetCurSel(HWND combo, int index) {
    Node* node = Find(combo);
    if (node == nullptr) return CB_ERR;
    if (!ValidIndex(node->items, index)) {
        // -1 or an index past the end clears the selection.
        node->curSel = -1;
        return CB_ERR;
    }
    node->curSel = index;
    return index;
}

DWORD_PTR HeadlessBackend::ComboGetItemData(HWND combo, int index) {
    const Node* node = Find(combo);
    if (node == nullptr || !ValidIndex(node->items, index)) return static_cast<DWORD_PTR>(CB_ERR);
    return node->items[static_cast<size_t>(index)].data;
}

int HeadlessBackend::ComboSetItemData(HWND combo, int index, DWORD_PTR data) {
    Node* node = Find(combo);
    if (node == nullptr || !ValidIndex(node->items, index)) return CB_ERR;
    node->items[static_cast<size_t>(index)].data = data;
    return 0;
}

std::wstring HeadlessBackend::ComboGetItemText(HWND combo, int index) {
    const Node* node = Find(combo);
    if (node == nullptr || !ValidIndex(node->items, index)) return std::wstring();
    return node->items[static_cast<size_t>(index)].text;
}

void HeadlessBackend::SliderSetRange(HWND slider, int minimum, int maximum) {
    Node* node = Find(slider);
    if (node == nullptr) return;
    node->rangeMin = minimum;
    node->rangeMax = std::max(minimum, maximum);
    node->pos = std::clamp(node->pos, node->rangeMin, node->rangeMax);
}

int HeadlessBackend::SliderGetRangeMin(HWND slider) {
    const Node* node = Find(slider);
    return node ? node->rangeMin : 0;
}

int HeadlessBackend::SliderGetRangeMax(HWND slider) {
    const Node* node = Find(slider);
    return node ? node->rangeMax : 0;
}

int HeadlessBackend::SliderGetPos(HWND slider) {
    const Node* node = Find(slider);
    return node ? node->pos : 0;
}

void HeadlessBackend::SliderSetPos(HWND slider, int position) {
    if (Node* node = Find(slider)) node->pos = std::clamp(position, node->rangeMin, node->rangeMax);
}

void HeadlessBackend::SliderClearTics(HWND slider) {
    if (Node* node = Find(slider)) node->tics.clear();
}

BOOL HeadlessBackend::SliderSetTic(HWND slider, int position) {
    Node* node = Find(slider);
    if (node == nullptr || position < node->rangeMin || position > node->rangeMax) return FALSE;
    if (std::find(node->tics.begin(), node->tics.end(), position) == node->tics.end()) {
        node->tics.push_back(position);
        std::sort(node->tics.begin(), node->tics.end());
    }
    return TRUE;
}

int HeadlessBackend::SliderGetTicPixel(HWND slider, int position) {
    const Node* node = Find(slider);
    if (node == nullptr || position < node->rangeMin || position > node->rangeMax) return -1;
    // Ticks spread evenly over the channel between the thumb's two end positions.
    const int width = node->rect.right - node->rect.left;
    const int channel = std::max(0, width - 2 * kTrackbarInset);
    const int span = node->rangeMax - node->rangeMin;
    if (span == 0) return kTrackbarInset;
    return kTrackbarInset + static_cast<int>(static_cast<long long>(position - node->rangeMin) * channel / span);
}

}  // namespace ui
