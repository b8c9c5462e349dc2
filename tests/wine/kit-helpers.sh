# Shared by the end-to-end tests that make a connection wizard kit (sourced after wine-env.sh,
# with $kit set and a fail function defined).

# kit_file NAME < UTF-8 text: the kit's file NAME, in Windows-1252 with CR LF line ends.
kit_file() { iconv -f UTF-8 -t WINDOWS-1252 | sed 's/$/\r/' > "$kit/$1"; }

# The [General] section of a 641 x 400 wizard: the page area and the three buttons.
general_section() {
    cat << 'INI'
[General]
Tx=0
Ty=0
Tl=641
Th=400
Cx=10
Cy=20
Cl=600
Ch=300
Precx=100
Precy=340
Suivx=400
Suivy=340
Quitx=250
Quity=340
NbBitmaps=0
Titre=Connexion à Telvora
INI
}

reg() { as_wine_user wine reg "$@"; }

# The values of a registry key, one per line; reg writes to a pipe in the OEM code page.
reg_values() { reg query "$1" 2> /dev/null | tr -d '\r' | iconv -f CP850 -t UTF-8; }

# expect_value KEY NAME TYPE [DATA]: NAME, TYPE and DATA are extended regular expressions.
expect_value() {
    local listing
    listing=$(reg_values "$1")
    grep -q -E "^ +$2 +$3 +${4:-}\$" <<< "$listing" || fail "$1 value $2 is not $3 ${4:-}: $listing"
}
