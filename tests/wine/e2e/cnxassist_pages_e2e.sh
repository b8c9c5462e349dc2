#!/bin/bash
# cnxassist_pages_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real cnxassist.exe under Wine with pages holding every item kind: ids, positions, check
# state and focus of the page controls, a radio choice and a button choice and back, and a
# screenshot of each page kept as artefacts.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"

win32_dir=$1
programs_dir=$2
out=$wine_artefacts/cnxassist_pages
kit=$out/kit
rm -rf "$out"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"
cp "$programs_dir/cnxassist/cnxassist.exe" "$kit/"
echo "stand-in" > "$kit/ISIGNUP.EXE"

# Kit files are Windows-1252; these are written here in UTF-8 and converted.
to_kit() { iconv -f UTF-8 -t WINDOWS-1252 > "$kit/$1"; }

to_kit cfg.ini << 'INI'
[General]
Tx=0
Ty=0
Tl=660
Th=300
Cx=20
Cy=10
Cl=600
Ch=200
Precx=200
Precy=230
Suivx=500
Suivy=230
Quitx=350
Quity=230
NbBitmaps=0
Titre=Pages de l'assistant

[IdentWindow]
Suivants=BoutonRadio1
Message=Système non supporté

[BoutonRadio1]
Suivants=Bouton1,EtapeFin
NbBoutons=2
Description=radio.txt
PresenceSuivant=2

[Bouton1]
Suivants=EtapeChamp,EtapeFin
NbBoutons=2
Description=boutons.txt
PresencePrecedent=2
PresenceSuivant=2

[EtapeChamp]
Suivants=EtapeChamp
Description=champ.txt
PresencePrecedent=2
PresenceQuitter=2

[EtapeFin]
Suivants=EtapeFin
PresencePrecedent=2
INI

# The worked example: a bold title over two radios side by side.
to_kit radio.txt << 'PAGE'
fenetre(0,300,100)
((ttexte,9,300,40,"Êtes-vous déjà abonné à Telvora ?","Times New Roman",14,700,1,0)
 sur
 ((radio,1,150,30,"Oui, j'ai déjà un compte") a_gauche_de (radio,2,150,30,"Non, je m'abonne")))
PAGE

# A wrapped text over two push buttons (right and centre aligned) and an icon.
to_kit boutons.txt << 'PAGE'
fenetre(0,300,100)
((ctexte,9,300,40,"Voulez-vous saisir vos identifiants maintenant ? Vous pourrez aussi le faire plus tard, depuis le menu Démarrer.")
 sur
 ((bouton,1,100,30,"Saisir",2) a_gauche_de ((bouton,2,100,30,"Plus tard",3) a_gauche_de (icone,8,100,30,"question"))))
PAGE

to_kit champ.txt << 'PAGE'
fenetre(0,300,100)
((saisie,1,300,30,"Votre nom") sur (ttexte,5,300,30,"Nom de l'abonné, tel qu'il figure sur le contrat","Arial",9,400,0,1))
PAGE
chown -R "$wine_user:" "$kit" 2> /dev/null || true

bash "$here/../run-in-wine" "$win32_dir/tests/driver/testdrv.exe" "$here/cnxassist_pages_e2e.txt" \
    KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" | tee "$out/pages.log"
[ "${PIPESTATUS[0]}" = 0 ] || { echo "cnxassist_pages_e2e: failed (log: $out/pages.log)" >&2; exit 1; }
for shot in "$out"/*.bmp; do convert "$shot" "${shot%.bmp}.png"; done
echo "cnxassist_pages_e2e: passed (artefacts in $out)"
