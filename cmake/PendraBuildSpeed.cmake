# What keeps a build cheap on a two-core machine: a compiler cache shared by
# every checkout of this project, and two precompiled headers (one for the
# code, one for the tests) that every target reuses instead of parsing Qt's
# and GoogleTest's headers again in each file.

option(PENDRA_CCACHE "Compile through ccache when it is installed" ON)
find_program(PENDRA_CCACHE_PROGRAM ccache)
if(PENDRA_CCACHE AND PENDRA_CCACHE_PROGRAM)
  # Precompiled headers are cached only with these sloppiness settings; the
  # base and hash settings let a fresh clone elsewhere hit the entries an
  # earlier clone stored.
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      ${PENDRA_CCACHE_PROGRAM})
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-fpch-preprocess)
  endif()
endif()

# The headers nearly every file of the code includes. Each target that links
# Qt reuses this one compiled header; its flags match because every library
# gets the same global options and the same Qt modules through platform.
set(pendra_code_headers
  <algorithm> <chrono> <cmath> <functional> <memory> <optional> <vector>
  <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QJsonArray> <QJsonDocument> <QJsonObject>
  <QList> <QObject> <QPointer> <QProcess> <QString> <QStringList> <QTimer> <QUrl> <QVariantMap>
  <QDBusConnection> <QDBusMessage> <QDBusPendingCallWatcher> <QNetworkAccessManager> <QNetworkReply>
  <QColor> <QPainter> <QPainterPath>
  <QHBoxLayout> <QLabel> <QPushButton> <QVBoxLayout> <QWidget>)
set(pendra_pch_modules Qt6::Core Qt6::Gui Qt6::Widgets Qt6::DBus Qt6::Network Qt6::Positioning)

function(pendra_add_pch_host name)
  add_library(${name} OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch_host.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()

# clang writes the build folder into a precompiled header, so ccache cannot
# serve a clang build that uses one to a second folder; the fuzz build turns
# them off and lets the cache serve every file instead.
option(PENDRA_PCH "Reuse precompiled headers for Qt, the std library and GoogleTest" ON)

if(PENDRA_PCH)
  pendra_add_pch_host(pendra_code_pch ${pendra_pch_modules})
  target_precompile_headers(pendra_code_pch PRIVATE ${pendra_code_headers})
endif()

# Targets of the code (libraries, the app, the probe, fuzz targets).
function(pendra_use_code_pch target)
  if(PENDRA_PCH)
    target_precompile_headers(${target} REUSE_FROM pendra_code_pch)
  endif()
endfunction()
