# What `cmake --install` puts where, and the Debian packages CPack makes of it.
#
# Component "runtime": the shared library under its SONAME (libtypetutor-article.so.0).
# Component "library": what programs are built with: the link to the shared library, the static
# one, the public headers under include/typetutor-article/, the CMake package TypeTutorArticle
# (imported targets TypeTutor::article and TypeTutor::article_static) and typetutor-article.pc.
# Component "tutor": the typetutor program and its bundled lessons.
# Component "desktop": typetutor-gtk with its desktop file, AppStream metainfo and icons.
# Both programs load the shared library; installed, they carry no RUNPATH (CMake drops the build
# tree's on install) and find it in the system's library folder.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ARTICLE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/typetutor-article)
set(ARTICLE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/TypeTutorArticle)

# The headers of the exported classes and what they include; the internal classes (the articles'
# implementations, tokens, stopwatch, file layer) stay out.
set(ARTICLE_PUBLIC_HEADERS
    Article/Article.h Article/TypingLog.h Article/TrackRecords.h Article/LessonTrackFile.h
    Article/WordTrackFile.h
    platform/Export.h platform/Win32.h platform/Clock.h platform/DeviceContext.h
    platform/FixedPitchDC.h diagnostics/Tracewise.h)
foreach(header ${ARTICLE_PUBLIC_HEADERS})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header}
        DESTINATION ${ARTICLE_INSTALL_INCLUDEDIR}/${folder} COMPONENT library)
endforeach()

set_target_properties(article_shared PROPERTIES EXPORT_NAME article)
set_target_properties(article PROPERTIES EXPORT_NAME article_static)
foreach(lib article article_shared)
    target_include_directories(${lib} PUBLIC $<INSTALL_INTERFACE:${ARTICLE_INSTALL_INCLUDEDIR}>)
endforeach()
install(TARGETS article_shared article EXPORT TypeTutorArticleTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT library
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library)
install(EXPORT TypeTutorArticleTargets NAMESPACE TypeTutor::
    DESTINATION ${ARTICLE_INSTALL_CMAKEDIR} COMPONENT library)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TypeTutorArticleConfig.cmake.in
    ${PROJECT_BINARY_DIR}/TypeTutorArticleConfig.cmake INSTALL_DESTINATION ${ARTICLE_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TypeTutorArticleConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TypeTutorArticleConfig.cmake
    ${PROJECT_BINARY_DIR}/TypeTutorArticleConfigVersion.cmake
    DESTINATION ${ARTICLE_INSTALL_CMAKEDIR} COMPONENT library)

# The .pc file finds its prefix from where it lies, so an unpacked package works from any root.
file(RELATIVE_PATH ARTICLE_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_CURRENT_LIST_DIR}/typetutor-article.pc.in
    ${PROJECT_BINARY_DIR}/typetutor-article.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/typetutor-article.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

if(TARGET typetutor)
    install(TARGETS typetutor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tutor)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/lessons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/typetutor/lessons COMPONENT tutor)
endif()

if(TARGET typetutor-gtk)
    set(DESKTOP_DATA ${PROJECT_SOURCE_DIR}/app/desktop/data)
    install(TARGETS typetutor-gtk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desktop)
    install(FILES ${DESKTOP_DATA}/io.github.typetutor.TypeTutor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
    install(FILES ${DESKTOP_DATA}/io.github.typetutor.TypeTutor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
    install(FILES ${DESKTOP_DATA}/icons/io.github.typetutor.TypeTutor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
    install(FILES ${DESKTOP_DATA}/icons/io.github.typetutor.TypeTutor-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps COMPONENT desktop)
endif()

# Every package carries the copyright file and the changelog Debian asks of a package.
set(DEBIAN_FILES ${CMAKE_CURRENT_LIST_DIR}/debian)
execute_process(COMMAND gzip -9nc ${DEBIAN_FILES}/changelog
    OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz)
set(DEBIAN_PACKAGES runtime:libtypetutor-article${PROJECT_VERSION_MAJOR}
    library:libtypetutor-article-dev)
if(TARGET typetutor)
    list(APPEND DEBIAN_PACKAGES tutor:typetutor)
endif()
if(TARGET typetutor-gtk)
    list(APPEND DEBIAN_PACKAGES desktop:typetutor-gtk)
endif()
foreach(pair ${DEBIAN_PACKAGES})
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 component)
    list(GET pair 1 package)
    install(FILES ${DEBIAN_FILES}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# Debian packages, one per component, named as Debian names them: libtypetutor-article0 (the
# runtime, by its SONAME), libtypetutor-article-dev, typetutor and typetutor-gtk.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME typetutor)
set(CPACK_PACKAGE_VENDOR "typetutor developers")
set(TT_PACKAGE_CONTACT "typetutor developers <typetutor@example.org>" CACHE STRING
    "Maintainer of the Debian packages")
set(CPACK_PACKAGE_CONTACT "${TT_PACKAGE_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENTS_ALL runtime library)
if(TARGET typetutor)
    list(APPEND CPACK_COMPONENTS_ALL tutor)
endif()
if(TARGET typetutor-gtk)
    list(APPEND CPACK_COMPONENTS_ALL desktop)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the programs' engine library in the build tree; no installed package holds
# it, so the programs' packages name the runtime package themselves (below).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# A program built on this version runs on any later one with the same SONAME, as shlibs say in
# Debian: libtypetutor-article 0 libtypetutor-article0 (>= 0.1.0).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtypetutor-article${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# ldconfig runs by trigger, as Debian's shared library packages have it.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${DEBIAN_FILES}/triggers)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "typing-tutor engine: lesson layout, typing judgement \
and typing history files
The shared library: lays out a lesson, judges and times what is typed
against it, and keeps the lesson and word history files.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libtypetutor-article-dev)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_LIBRARY_DEPENDS runtime)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "typing-tutor engine: development files
The C++ headers, the static library, the CMake package and the pkg-config
file of the typing-tutor engine.")
set(CPACK_DEBIAN_TUTOR_PACKAGE_NAME typetutor)
set(CPACK_DEBIAN_TUTOR_PACKAGE_SECTION education)
# The program loads the engine: the runtime package of this very version.
set(CPACK_COMPONENT_TUTOR_DEPENDS runtime)
# The keyboard layouts and the compose tables are read at run time; the word lists of other
# languages serve practice where installed.
set(CPACK_DEBIAN_TUTOR_PACKAGE_DEPENDS "xkb-data, libx11-data")
set(CPACK_DEBIAN_TUTOR_PACKAGE_SUGGESTS "wngerman, wfrench, wspanish, wpolish, wukrainian")
set(CPACK_COMPONENT_TUTOR_DESCRIPTION "terminal typing tutor
Lessons typed in the terminal, with speed, accuracy and the weakest keys
and words.")
set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME typetutor-gtk)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_SECTION education)
# The bundled lessons are the terminal program's package's.
set(CPACK_COMPONENT_DESKTOP_DEPENDS runtime tutor)
set(CPACK_COMPONENT_DESKTOP_DESCRIPTION "desktop typing tutor
Lessons typed in a window, with an on-screen keyboard that lights the next
key, live speed and accuracy, the weakest keys and words after each lesson,
and progress charts.")
include(CPack)
