# SPDX-License-Identifier: MIT
# The captions of every message box the sources can show (see scripts/check-captions), read from
# the C++ files named on the command line. Prints "caption<TAB>file:line" for each box, and
# "?<TAB>file:line<TAB>expression" for a call whose caption it cannot read.
#
# A sink is a function and the argument that is a box's caption: MessageBox's third to begin
# with, and each wrapper found on the way, with the file that defines it.

function literal_end(s, i,    quote, j, delimiter, ending) {
    quote = substr(s, i, 1)
    if (quote == "\"" && substr(s, i - 1, 1) == "R") {
        delimiter = substr(s, i + 1, index(substr(s, i + 1), "(") - 1)
        ending = index(substr(s, i), ")" delimiter "\"")
        return ending ? i + ending + length(delimiter) : length(s)
    }
    for (j = i + 1; j <= length(s); j++) {
        if (substr(s, j, 1) == "\\") j++
        else if (substr(s, j, 1) == quote || substr(s, j, 1) == "\n") return j
    }
    return length(s)
}
function blank(s) {
    gsub(/[^\n]/, " ", s)
    return s
}
# The text with its comments blanked, and with `literals` the insides of its literals too, so that
# no call is seen in either; every position keeps its place and line.
function blanked(s, literals,    out, p, q, c, j, kept) {
    out = ""; p = 1
    while (match(substr(s, p), /["'\/]/)) {
        q = p + RSTART - 1
        c = substr(s, q, 2)
        if (c == "//") j = index(substr(s, q), "\n") ? q + index(substr(s, q), "\n") - 2 : length(s)
        else if (c == "/*") j = index(substr(s, q + 2), "*/") ? q + index(substr(s, q + 2), "*/") + 2 : length(s)
        else j = (substr(s, q, 1) == "/") ? q : literal_end(s, q)
        kept = substr(s, q, j - q + 1)
        if (c == "//" || c == "/*") kept = blank(kept)
        else if (literals && length(kept) > 1)
            kept = substr(kept, 1, 1) blank(substr(kept, 2, length(kept) - 2)) substr(kept, length(kept))
        out = out substr(s, p, q - p) kept
        p = j + 1
    }
    return out substr(s, p)
}
function trim(s) {
    gsub(/^[ \t\n]+|[ \t\n]+$/, "", s)
    return s
}
# Splits the argument list whose "(" is at `open` into Args[1..n] and returns n; Close is set to
# the position of its ")".
function split_args(s, open,    depth, i, c, start, n) {
    depth = 0; n = 0; start = open + 1
    for (i = open; i <= length(s); i++) {
        c = substr(s, i, 1)
        if (c == "\"" || c == "'") i = literal_end(s, i)
        else if (c ~ /[([{]/) depth++
        else if (c ~ /[)\]}]/ && --depth == 0) { Args[++n] = trim(substr(s, start, i - start)); Close = i; return n }
        else if (c == "," && depth == 1) { Args[++n] = trim(substr(s, start, i - start)); start = i + 1 }
    }
    Close = length(s)
    return n
}
function line_of(s, position,    before) {
    before = substr(s, 1, position)
    return gsub(/\n/, "", before) + 1
}
# A parameter's declaration ("const char* caption"), as a function's declaration or definition
# holds them; the name it declares, or "".
function declared_name(argument) {
    sub(/[ \t\n]*=.*$/, "", argument)
    if (argument !~ /^(const[ \t\n]+)?[A-Za-z_][A-Za-z0-9_:<>]*[ \t\n*&]+[A-Za-z_][A-Za-z0-9_]*$/) return ""
    sub(/^.*[^A-Za-z0-9_]/, "", argument)
    return argument
}
function literal_text(argument) {
    if (argument !~ /^"([^"\\]|\\.)*"([ \t\n]*"([^"\\]|\\.)*")*$/) return ""
    gsub(/"[ \t\n]*"/, "", argument)
    return substr(argument, 2, length(argument) - 2)
}
# The function whose definition, before `position`, takes a parameter `name`: "function index".
function enclosing_parameter(f, name, position,    s, rest, offset, found, n, i, callee) {
    s = Text[f]; found = ""; offset = 0; rest = substr(Code[f], 1, position)
    while (match(rest, /[A-Za-z_][A-Za-z0-9_]*[ \t\n]*\(/)) {
        callee = substr(rest, RSTART, RLENGTH - 1)
        sub(/[ \t\n]+$/, "", callee)
        n = split_args(s, offset + RSTART + RLENGTH - 1)
        if (callee !~ /^(if|for|while|switch|catch|return|sizeof)$/ &&
            substr(s, Close + 1) ~ /^[ \t\n]*(const[ \t\n]*)?(noexcept[ \t\n]*)?(override[ \t\n]*)?\{/)
            for (i = 1; i <= n; i++)
                if (declared_name(Args[i]) == name) found = callee " " i
        offset += RSTART + RLENGTH - 1
        rest = substr(rest, RSTART + RLENGTH)
    }
    return found
}
# Prints the `field` of every row of the file's tables of a struct that has that field.
function table_captions(f, field, where,    rest, body, members, n, i, index_of, type, rows, printed) {
    printed = 0
    rest = Code[f]
    while (match(rest, /struct[ \t\n]+[A-Za-z_][A-Za-z0-9_]*[ \t\n]*\{[^}]*\}/)) {
        body = substr(rest, RSTART, RLENGTH)
        rest = substr(rest, RSTART + RLENGTH)
        type = body
        sub(/^struct[ \t\n]+/, "", type)
        sub(/[^A-Za-z0-9_].*$/, "", type)
        sub(/^[^{]*\{/, "", body)
        n = split(body, members, ";")
        index_of = 0
        for (i = 1; i <= n; i++)
            if (declared_name(trim(members[i])) == field) index_of = i
        if (!index_of || !match(Code[f], type "[ \t\n]+[A-Za-z_][A-Za-z0-9_]*\\[\\][ \t\n]*=[ \t\n]*\\{")) continue
        rows = substr(Text[f], RSTART + RLENGTH)
        while (match(rows, /^[ \t\n,]*\{/)) {
            n = split_args(rows, RSTART + RLENGTH - 1)
            if (index_of <= n && literal_text(Args[index_of]) != "") {
                report(literal_text(Args[index_of]), where)
                printed++
            }
            rows = substr(rows, Close + 1)
        }
    }
    return printed
}
# The literal a constant of the file named `name` is initialised with, or "".
function constant_text(s, name,    literal, definition) {
    literal = "\"([^\"\\\\]|\\\\.)*\""
    if (!match(s, "[^A-Za-z0-9_]" name "(\\[\\])?[ \t\n]*=[ \t\n]*" literal "([ \t\n]*" literal ")*")) return ""
    definition = substr(s, RSTART, RLENGTH)
    return literal_text(trim(substr(definition, index(definition, "=") + 1)))
}
# A caption as its box's title shows it: without the spaces around it.
function report(caption, where) {
    print trim(caption) "\t" where
}
function header_of(file) {
    sub(/\.cpp$/, ".h", file)
    return file
}
# Reads the calls of `callee` in file f, whose argument `position` is a caption.
function read_calls(f, callee, position,    rest, offset, n, caption, where, wrapper) {
    rest = Code[f]; offset = 0
    while (match(rest, "(^|[^A-Za-z0-9_])" callee "[ \t\n]*\\(")) {
        n = split_args(Text[f], offset + RSTART + RLENGTH - 1)
        where = Name[f] ":" line_of(Text[f], offset + RSTART + RLENGTH - 1)
        offset += RSTART + RLENGTH - 1
        rest = substr(rest, RSTART + RLENGTH)
        if (n < position || declared_name(Args[position]) != "") continue
        caption = Args[position]
        if (literal_text(caption) != "")
            report(literal_text(caption), where)
        else if (constant_text(Text[f], caption) != "")
            report(constant_text(Text[f], caption), where)
        else if (caption ~ /^[A-Za-z_][A-Za-z0-9_]*$/ && (wrapper = enclosing_parameter(f, caption, offset)) != "")
            Sinks[wrapper " " f] = 1
        else if (!(caption ~ /^[A-Za-z_][A-Za-z0-9_]*(\.|->)[A-Za-z_][A-Za-z0-9_]*$/ &&
                   table_captions(f, substr(caption, match(caption, /[A-Za-z0-9_]+$/)), where)))
            print "?\t" where "\t" caption
    }
}
FNR == 1 { Files++; Name[Files] = FILENAME }
{ Source[Files] = Source[Files] $0 "\n" }
END {
    for (f = 1; f <= Files; f++) {
        Text[f] = blanked(Source[f], 0)
        Code[f] = blanked(Source[f], 1)
    }
    # "function argument file", file 0 for any.
    Sinks["MessageBox 3 0"] = 1
    do {
        more = 0
        for (sink in Sinks) {
            if (sink in Done) continue
            Done[sink] = 1; more = 1
            split(sink, part, " ")
            for (f = 1; f <= Files; f++)
                if (part[3] == 0 || f == part[3] ||
                    index(Source[f], "#include \"" header_of(Name[part[3]]) "\""))
                    read_calls(f, part[1], part[2])
        }
    } while (more)
}
