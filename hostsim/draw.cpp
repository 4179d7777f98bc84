// The window as an SVG picture.
#include <cstdio>

#include "hostsim/simulator.h"

namespace tq::hostsim {

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control bytes have no place in XML text; show them as a middle dot.
        if (c < 0x20)
          out += "&#183;";
        else if (c < 0x80)
          out += static_cast<char>(c);
        else
          out += "&#" + std::to_string(c) + ";";  // 8-bit text read as Latin-1
    }
  }
  return out;
}

std::string rect(const ASRect& r, const char* fill, const char* stroke) {
  char s[200];
  std::snprintf(s, sizeof s,
                "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\" stroke=\"%s\"/>\n",
                r.left, r.top, r.right - r.left, r.bottom - r.top, fill, stroke);
  return s;
}

std::string text(int32_t x, int32_t y, const std::string& content, const char* color,
                 const char* anchor = "start") {
  char s[120];
  std::snprintf(s, sizeof s, "<text x=\"%d\" y=\"%d\" fill=\"%s\" text-anchor=\"%s\">", x, y, color,
                anchor);
  return s + escaped(content) + "</text>\n";
}

// The lines of a multi-line text (CR LF, CR or LF end a line).
std::vector<std::string> lines(const std::string& content) {
  std::vector<std::string> out(1);
  for (size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  if (out.size() > 1 && out.back().empty()) out.pop_back();
  return out;
}

std::string drawItem(const DialogItem& i) {
  const char* ink = i.enabled ? "#000" : "#999";
  const char* field = i.enabled ? "#fff" : "#eee";
  const ASRect& r = i.rect;
  int32_t baseline = r.top + 14;
  const std::string& type = i.type;
  std::string out;
  if (type == kADMTextStaticType) {
    out += text(r.left, baseline, i.text, ink);
  } else if (type == kADMTextPushButtonType) {
    out += rect(r, i.enabled ? "#ddd" : "#eee", ink);
    out += text((r.left + r.right) / 2, (r.top + r.bottom) / 2 + 4, i.text, ink, "middle");
  } else if (type == kADMTextRadioButtonType) {
    int32_t cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    char s[200];
    std::snprintf(s, sizeof s, "<circle cx=\"%d\" cy=\"%d\" r=\"6\" fill=\"%s\" stroke=\"%s\"/>\n",
                  cx, cy, field, ink);
    out += s;
    if (i.on) {
      std::snprintf(s, sizeof s, "<circle cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"%s\"/>\n", cx, cy,
                    ink);
      out += s;
    }
  } else if (type == kADMListBoxType) {
    out += rect(r, field, ink);
    int32_t y = r.top;
    for (const auto& e : i.entries) {
      if (y + 16 > r.bottom) break;
      if (e->selected) out += rect({r.left + 1, y + 1, r.right - 1, y + 17}, "#9cf", "none");
      out += text(r.left + 4, y + 14, e->text, ink);
      y += 16;
    }
  } else if (type == kADMTextEditMultiLineType) {
    out += rect(r, field, ink);
    int32_t y = baseline;
    for (const std::string& l : lines(i.text)) {
      if (y > r.bottom) break;
      out += text(r.left + 3, y, l, ink);
      y += 15;
    }
  } else {  // edit fields and popups
    out += rect(r, field, ink);
    out += text(r.left + 3, baseline, i.text, ink);
    if (type == kADMPopupListType || type == kADMTextEditPopupType) {
      char s[120];
      std::snprintf(s, sizeof s, "<text x=\"%d\" y=\"%d\" fill=\"%s\">&#9662;</text>\n",
                    r.right - 12, baseline, ink);
      out += s;
    }
  }
  return out;
}

}  // namespace

std::string Simulator::svg() {
  Dialog* d = host_.liveDialog();
  if (d == nullptr) return "";
  char head[300];
  std::snprintf(head, sizeof head,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                "font-family=\"sans-serif\" font-size=\"12\">\n",
                d->width, d->height);
  std::string out = head;
  out += "<title>" + escaped(d->name) + "</title>\n";
  out += rect({0, 0, d->width, d->height}, "#f0f0f0", "#666");
  for (const auto& i : d->items) out += drawItem(*i);
  out += "</svg>\n";
  return out;
}

}  // namespace tq::hostsim
