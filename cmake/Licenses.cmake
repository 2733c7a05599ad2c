# Gathers, when the build is configured, the published licence texts of the libraries the
# app links: each package's Debian copyright file, then every common licence text those
# files point to, once. The result is compiled into the app as Qt resources.
function(quorvale_generate_licenses out_dir out_files)
    set(_libraries
        "Qt|libqt6core6"
        "Qt SVG|libqt6svg6"
        "Tesseract|libtesseract5"
        "Leptonica|liblept5"
        "ICU|libicu[0-9]*"
        "libxkbcommon|libxkbcommon0"
        "libxcb|libxcb1"
        "libcanberra|libcanberra0"
        "GNU C++ Library|libstdc++6")
    file(REMOVE_RECURSE ${out_dir})
    file(MAKE_DIRECTORY ${out_dir})
    set(_index "")
    set(_files "")
    set(_common "")
    set(_number 10)
    foreach(_entry IN LISTS _libraries)
        string(REPLACE "|" ";" _parts "${_entry}")
        list(GET _parts 0 _name)
        list(GET _parts 1 _package)
        file(GLOB _copyright /usr/share/doc/${_package}/copyright)
        list(SORT _copyright)
        set(_file "${_number}.txt")
        if(_copyright)
            list(GET _copyright 0 _copyright)
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_copyright})
            file(READ ${_copyright} _text)
            string(REGEX MATCHALL "/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]"
                   _refs "${_text}")
            list(APPEND _common ${_refs})
        else()
            message(WARNING "No copyright file for ${_package}: its licence is not shown")
            set(_text "The copyright file of ${_package} was not installed on the build machine.")
        endif()
        file(WRITE ${out_dir}/${_file} "${_text}")
        string(APPEND _index "${_file}\t${_name}\n")
        list(APPEND _files ${out_dir}/${_file})
        math(EXPR _number "${_number} + 1")
    endforeach()
    # "GPL" and "GPL-3" are one file: each text comes once, under its own name.
    set(_texts "")
    foreach(_path IN LISTS _common)
        if(EXISTS ${_path})
            get_filename_component(_real ${_path} REALPATH)
            list(APPEND _texts ${_real})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES _texts)
    list(SORT _texts)
    foreach(_real IN LISTS _texts)
        get_filename_component(_licence ${_real} NAME)
        file(READ ${_real} _text)
        set(_file "${_number}.txt")
        file(WRITE ${out_dir}/${_file} "${_text}")
        string(APPEND _index "${_file}\t${_licence} (${_real})\n")
        list(APPEND _files ${out_dir}/${_file})
        math(EXPR _number "${_number} + 1")
    endforeach()
    file(WRITE ${out_dir}/index.tsv "${_index}")
    list(APPEND _files ${out_dir}/index.tsv)
    set(${out_files} ${_files} PARENT_SCOPE)
endfunction()
