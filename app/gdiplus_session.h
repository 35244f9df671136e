#pragma once
// GDI+ for the life of the program: started on construction, shut down on destruction.
// Windows only.

class GdiplusSession {
  public:
    // Starts GDI+ version 1 with its background thread and external codecs, and stores the
    // token in g_gdiplusToken. A failed start is ignored: pictures then simply do not load.
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
};
