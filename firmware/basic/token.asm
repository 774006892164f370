* token.asm: keywords, the tokenizer and the lister.
*
* Entry points:
*   crunch   X = typed text (zero-terminated), U = where the tokens go (may
*            be the same place: the result is never longer). A keyword is
*            recognised anywhere outside strings, REM, ' and DATA, in any
*            case, without spaces around it; the longest keyword wins. '?'
*            is PRINT. The keywords the cassette BASICs did not have
*            (kwword) are taken only as words of their own: not inside a
*            name and not followed by a letter, so MONEY and TERRAIN stay
*            names. Letters outside strings become upper case. Kept:
*            Y. Work bytes TMP1-TMP3.
*   listln   X = a program line: prints it as it was typed, keywords in
*            upper case, then a new line. All registers kept.
*   prtkw    A = token: prints its keyword. All kept.
*
* Token numbers: $80 + the keyword's place in kwtab. Statements come first
* (their handlers in stmtab, same order), up to T_LASTS; then words that only
* appear inside statements; then the functions from T_SGN (handlers in
* functab) up to T_LASTF.
*
* More keywords than one byte numbers are in xkwtab: such a keyword is
* stored as T_EXT and its number there (X_xxx, from 1). The numbers stay
* below $20, so everything that scans program text past strings, ':' and
* tokens passes over them. Statements come first (up to X_LASTS, handlers
* in xhand), then words, then functions (X_FUNC..X_LASTF, handlers in
* xfhand). They are all taken only as words of their own (as in kwword).

T_END   EQU $80
T_FOR   EQU $81
T_NEXT  EQU $82
T_DATA  EQU $83
T_INPUT EQU $84
T_DIM   EQU $85
T_READ  EQU $86
T_LET   EQU $87
T_GOTO  EQU $88
T_RUN   EQU $89
T_IF    EQU $8A
T_RESTOR EQU $8B
T_GOSUB EQU $8C
T_RETURN EQU $8D
T_REM   EQU $8E
T_STOP  EQU $8F
T_ON    EQU $90
T_PRINT EQU $91
T_CLEAR EQU $92
T_LIST  EQU $93
T_NEW   EQU $94
T_CONT  EQU $95
T_POKE  EQU $96
T_EXEC  EQU $97
T_DEF   EQU $98
T_WHILE EQU $99
T_WEND  EQU $9A
T_ERASE EQU $9B
T_SWAP  EQU $9C
T_RANDOMIZE EQU $9D
T_ERROR EQU $9E
T_RESUME EQU $9F
T_LINE  EQU $A0
T_DEFINT EQU $A1
T_DEFSNG EQU $A2
T_DEFDBL EQU $A3
T_DEFSTR EQU $A4
T_ELSE  EQU $A5
T_AUTO  EQU $A6
T_RENUM EQU $A7
T_DELETE EQU $A8
T_MON   EQU $A9
T_TRON  EQU $AA
T_TROFF EQU $AB
T_APOS  EQU $AC
T_CLS   EQU $AD
* Files on tape and disk (files.asm, disk.asm)
T_SAVE  EQU $AE
T_LOAD  EQU $AF
T_MERGE EQU $B0
T_BSAVE EQU $B1
T_BLOAD EQU $B2
T_LOCATE EQU $B3
T_COLOR EQU $B4
T_PSET  EQU $B5
T_PRESET EQU $B6
T_CIRCLE EQU $B7
T_BEEP  EQU $B8
T_PAINT EQU $B9
T_GET   EQU $BA
T_PUT   EQU $BB
T_PALETTE EQU $BC
T_KEY   EQU $BD
T_FILES EQU $BE
T_KILL  EQU $BF
T_NAME  EQU $C0
T_DSKINI EQU $C1
T_LASTS EQU $C1
T_TO    EQU $C2
T_THEN  EQU $C3
T_STEP  EQU $C4
T_TAB   EQU $C5
T_SPC   EQU $C6
T_FN    EQU $C7
T_USING EQU $C8
T_NOT   EQU $C9
T_AND   EQU $CA
T_OR    EQU $CB
T_XOR   EQU $CC
T_EQV   EQU $CD
T_IMP   EQU $CE
T_MOD   EQU $CF
T_AS    EQU $D0
T_SGN   EQU $D1
T_INT   EQU $D2
T_ABS   EQU $D3
T_FRE   EQU $D4
T_POS   EQU $D5
T_SQR   EQU $D6
T_RND   EQU $D7
T_LOG   EQU $D8
T_EXP   EQU $D9
T_COS   EQU $DA
T_SIN   EQU $DB
T_TAN   EQU $DC
T_ATN   EQU $DD
T_PEEK  EQU $DE
T_LEN   EQU $DF
T_STR   EQU $E0
T_VAL   EQU $E1
T_ASC   EQU $E2
T_CHR   EQU $E3
T_LEFT  EQU $E4
T_RIGHT EQU $E5
T_MID   EQU $E6
T_CINT  EQU $E7
T_CSNG  EQU $E8
T_CDBL  EQU $E9
T_FIX   EQU $EA
T_HEX   EQU $EB
T_OCT   EQU $EC
T_SPACE EQU $ED
T_STRING EQU $EE
T_INSTR EQU $EF
T_INKEY EQU $F0
T_INPUTS EQU $F1
T_VARPTR EQU $F2
T_USR   EQU $F3
T_ERR   EQU $F4
T_ERL   EQU $F5
T_POINT EQU $F6
T_CSRLIN EQU $F7
T_SCREEN EQU $F8
T_DSKF  EQU $F9
T_LASTF EQU $F9
T_EXT   EQU $FF
* Keywords of xkwtab (data files, datafile.asm; WIDTH, graphics.asm;
* VERIFY, files.asm)
X_OPEN  EQU 1
X_CLOSE EQU 2
X_WRITE EQU 3
X_FIELD EQU 4
X_LSET  EQU 5
X_RSET  EQU 6
X_WIDTH EQU 7
X_VERIFY EQU 8
X_LASTS EQU 8
X_OUTPUT EQU 9
X_APPEND EQU 10
X_RANDOM EQU 11
X_FUNC  EQU 12
X_EOF   EQU 12
X_LOC   EQU 13
X_LOF   EQU 14
X_MKI   EQU 15
X_MKS   EQU 16
X_MKD   EQU 17
X_CVI   EQU 18
X_CVS   EQU 19
X_CVD   EQU 20
X_LASTF EQU 20

* The keywords, the last character of each with bit 7 set.
kwtab   FCB "EN",'D'+$80
        FCB "FO",'R'+$80
        FCB "NEX",'T'+$80
        FCB "DAT",'A'+$80
        FCB "INPU",'T'+$80
        FCB "DI",'M'+$80
        FCB "REA",'D'+$80
        FCB "LE",'T'+$80
        FCB "GOT",'O'+$80
        FCB "RU",'N'+$80
        FCB "I",'F'+$80
        FCB "RESTOR",'E'+$80
        FCB "GOSU",'B'+$80
        FCB "RETUR",'N'+$80
        FCB "RE",'M'+$80
        FCB "STO",'P'+$80
        FCB "O",'N'+$80
        FCB "PRIN",'T'+$80
        FCB "CLEA",'R'+$80
        FCB "LIS",'T'+$80
        FCB "NE",'W'+$80
        FCB "CON",'T'+$80
        FCB "POK",'E'+$80
        FCB "EXE",'C'+$80
        FCB "DE",'F'+$80
        FCB "WHIL",'E'+$80
        FCB "WEN",'D'+$80
        FCB "ERAS",'E'+$80
        FCB "SWA",'P'+$80
        FCB "RANDOMIZ",'E'+$80
        FCB "ERRO",'R'+$80
        FCB "RESUM",'E'+$80
        FCB "LIN",'E'+$80
        FCB "DEFIN",'T'+$80
        FCB "DEFSN",'G'+$80
        FCB "DEFDB",'L'+$80
        FCB "DEFST",'R'+$80
        FCB "ELS",'E'+$80
        FCB "AUT",'O'+$80
        FCB "RENU",'M'+$80
        FCB "DELET",'E'+$80
        FCB "MO",'N'+$80
        FCB "TRO",'N'+$80
        FCB "TROF",'F'+$80
        FCB $27+$80
        FCB "CL",'S'+$80
        FCB "SAV",'E'+$80
        FCB "LOA",'D'+$80
        FCB "MERG",'E'+$80
        FCB "BSAV",'E'+$80
        FCB "BLOA",'D'+$80
        FCB "LOCAT",'E'+$80
        FCB "COLO",'R'+$80
        FCB "PSE",'T'+$80
        FCB "PRESE",'T'+$80
        FCB "CIRCL",'E'+$80
        FCB "BEE",'P'+$80
        FCB "PAIN",'T'+$80
        FCB "GE",'T'+$80
        FCB "PU",'T'+$80
        FCB "PALETT",'E'+$80
        FCB "KE",'Y'+$80
        FCB "FILE",'S'+$80
        FCB "KIL",'L'+$80
        FCB "NAM",'E'+$80
        FCB "DSKIN",'I'+$80
        FCB "T",'O'+$80
        FCB "THE",'N'+$80
        FCB "STE",'P'+$80
        FCB "TAB",'('+$80
        FCB "SPC",'('+$80
        FCB "F",'N'+$80
        FCB "USIN",'G'+$80
        FCB "NO",'T'+$80
        FCB "AN",'D'+$80
        FCB "O",'R'+$80
        FCB "XO",'R'+$80
        FCB "EQ",'V'+$80
        FCB "IM",'P'+$80
        FCB "MO",'D'+$80
        FCB "A",'S'+$80
        FCB "SG",'N'+$80
        FCB "IN",'T'+$80
        FCB "AB",'S'+$80
        FCB "FR",'E'+$80
        FCB "PO",'S'+$80
        FCB "SQ",'R'+$80
        FCB "RN",'D'+$80
        FCB "LO",'G'+$80
        FCB "EX",'P'+$80
        FCB "CO",'S'+$80
        FCB "SI",'N'+$80
        FCB "TA",'N'+$80
        FCB "AT",'N'+$80
        FCB "PEE",'K'+$80
        FCB "LE",'N'+$80
        FCB "STR",'$'+$80
        FCB "VA",'L'+$80
        FCB "AS",'C'+$80
        FCB "CHR",'$'+$80
        FCB "LEFT",'$'+$80
        FCB "RIGHT",'$'+$80
        FCB "MID",'$'+$80
        FCB "CIN",'T'+$80
        FCB "CSN",'G'+$80
        FCB "CDB",'L'+$80
        FCB "FI",'X'+$80
        FCB "HEX",'$'+$80
        FCB "OCT",'$'+$80
        FCB "SPACE",'$'+$80
        FCB "STRING",'$'+$80
        FCB "INST",'R'+$80
        FCB "INKEY",'$'+$80
        FCB "INPUT",'$'+$80
        FCB "VARPT",'R'+$80
        FCB "US",'R'+$80
        FCB "ER",'R'+$80
        FCB "ER",'L'+$80
        FCB "POIN",'T'+$80
        FCB "CSRLI",'N'+$80
        FCB "SCREE",'N'+$80
        FCB "DSK",'F'+$80
        FCB 0
xkwtab  FCB "OPE",'N'+$80
        FCB "CLOS",'E'+$80
        FCB "WRIT",'E'+$80
        FCB "FIEL",'D'+$80
        FCB "LSE",'T'+$80
        FCB "RSE",'T'+$80
        FCB "WIDT",'H'+$80
        FCB "VERIF",'Y'+$80
        FCB "OUTPU",'T'+$80
        FCB "APPEN",'D'+$80
        FCB "RANDO",'M'+$80
        FCB "EO",'F'+$80
        FCB "LO",'C'+$80
        FCB "LO",'F'+$80
        FCB "MKI",'$'+$80
        FCB "MKS",'$'+$80
        FCB "MKD",'$'+$80
        FCB "CV",'I'+$80
        FCB "CV",'S'+$80
        FCB "CV",'D'+$80
        FCB 0
xkwend

* kwword: one bit per token ($80 + 8 x byte + bit): keywords taken only as
* words of their own (EXEC WHILE WEND ERASE SWAP RANDOMIZE ERROR RESUME AUTO
* RENUM DELETE MON TRON TROFF CLS MERGE BSAVE BLOAD LOCATE COLOR PSET PRESET
* CIRCLE BEEP PAINT GET PUT PALETTE KEY FILES KILL NAME DSKINI USING XOR EQV
* IMP MOD AS CINT CSNG CDBL FIX HEX$ OCT$ SPACE$ STRING$ INSTR INKEY$ INPUT$
* VARPTR ERR ERL POINT CSRLIN SCREEN DSKF).
kwword  FCB $00,$00,$80,$FE,$C0,$2F,$FF,$FF,$03,$F1,$01,$00,$80,$FF,$F7,$03
INNAME  EQU $70E4           ; crunch: the last character belongs to a name

* isalpha: C = 1 when A is a letter; A is then upper case.
isalpha CMPA #'a'
        BLO .u
        CMPA #'z'
        BHI .no
        SUBA #$20
.u      CMPA #'A'
        BLO .no
        CMPA #'Z'
        BHI .no
        ORCC #$01
        RTS
.no     ANDCC #$FE
        RTS

* isdigit: C = 1 when A is a digit.
isdigit CMPA #'0'
        BLO .no
        CMPA #'9'
        BHI .no
        ORCC #$01
        RTS
.no     ANDCC #$FE
        RTS

crunch  PSHS Y
        CLR <INNAME
.loop   LDA ,X
        LBEQ .done
        CMPA #'"'
        BEQ .str
        CMPA #'?'
        BEQ .print
        CMPA #'&'
        BEQ .amp
        CMPA #$27
        BEQ .apos
        JSR isalpha
        BCC .copy
        JSR match
        TSTB
        BEQ .letter
        CLR <INNAME
        TSTB
        BMI .one
        LDA #T_EXT          ; a keyword of xkwtab
        STA ,U+
.one    STB ,U+
        CMPB #T_REM
        BEQ .rest
        CMPB #T_APOS
        BEQ .rest
        CMPB #T_DATA
        BEQ .data
        BRA .loop
.letter LDA ,X+             ; part of a name: upper case
        JSR isalpha
        STA ,U+
        LDA #1
        STA <INNAME
        BRA .loop
.copy   LDA ,X+
        STA ,U+
        JSR isdigit         ; digits go on a name, all else ends it
        BCS .loop
        CLR <INNAME
        BRA .loop
.apos   LEAX 1,X
        LDA #T_APOS
        STA ,U+
        BRA .rest
.print  LEAX 1,X
        LDA #T_PRINT
        STA ,U+
        BRA .loop
.amp    LDA ,X+             ; &H and &O constants are copied whole
        STA ,U+
.ampd   LDA ,X
        JSR isalpha
        BCS .ampc
        JSR isdigit
        BCC .loop
.ampc   STA ,U+
        LEAX 1,X
        BRA .ampd
.str    LDA ,X+
        STA ,U+
.strl   LDA ,X
        BEQ .done
        LEAX 1,X
        STA ,U+
        CMPA #'"'
        BNE .strl
        LBRA .loop
.rest   LDA ,X+
        STA ,U+
        BNE .rest
        PULS Y,PC
.data   CLRB                ; quote flag
.datal  LDA ,X
        BEQ .done
        CMPA #'"'
        BNE .d1
        COMB
.d1     TSTB
        BNE .d2
        CMPA #':'
        LBEQ .loop
.d2     STA ,U+
        LEAX 1,X
        BRA .datal
.done   CLR ,U
        PULS Y,PC

* match: the longest keyword at X. B = its token and X past it; B = 0 and
* X kept when there is none.
match   PSHS Y,U
        STX <TMP3
        CLR <TMP2
        CLR <TMP2+1
        LDA #$80
        STA <TMP1
        LDY #kwtab
.entry  LDA ,Y
        BNE .kw
        TST <TMP1           ; the end of kwtab: xkwtab follows
        BPL .end
        LEAY 1,Y
        LDA #1
        STA <TMP1
.kw     LDA ,Y
        BEQ .end
        LDU <TMP3
        CLRB
.cmp    LDA ,U+
        BMI .miss
        CMPA #'a'
        BLO .up
        CMPA #'z'
        BHI .up
        SUBA #$20
.up     INCB
        EORA ,Y+
        BEQ .cmp
        CMPA #$80
        BEQ .hit
        LDA -1,Y
        BMI .next
.skip   LDA ,Y+
        BPL .skip
        BRA .next
.miss   LDA ,Y+
        BPL .miss
        BRA .next
.hit    PSHS B
        LDA <TMP1           ; a keyword of kwword: a word of its own?
        BPL .wd             ; (those of xkwtab all are)
        SUBA #$80
        TFR A,B
        LSRA
        LSRA
        LSRA
        LDX #kwword
        LDA A,X
        ANDB #7
.bit    BEQ .tb
        LSRA
        DECB
        BRA .bit
.tb     BITA #1
        BEQ .ok
.wd     TST <INNAME
        BNE .rej
        LDA ,U              ; the character after it
        JSR isalpha
        BCS .rej
.ok     PULS B
        CMPB <TMP2+1
        BLS .next
        STB <TMP2+1
        LDA <TMP1
        STA <TMP2
.next   INC <TMP1
        BRA .entry
.rej    PULS B
        BRA .next
.end    LDX <TMP3
        LDB <TMP2
        BEQ .r
        LDA <TMP2+1
        LEAX A,X
.r      PULS Y,U,PC

* prtkw: the keyword of token A ($80..), or of xkwtab's number A (1..).
prtkw   PSHS A,B,X
        LDX #kwtab
        SUBA #$80
        BCC .z
        LDX #xkwtab
        ADDA #$7F
.z      TSTA
        BEQ .p
.s      LDB ,X+
        BPL .s
        DECA
        BNE .s
.p      LDA ,X+
        PSHS A
        ANDA #$7F
        JSR outch
        PULS A
        TSTA
        BPL .p
        PULS A,B,X,PC

* listln: one program line as typed.
listln  PSHS A,B,X,Y
        LDD 2,X
        JSR prtuint
        JSR outsp
        LEAY 4,X
        CLR <TMP1           ; 1 inside quotes
        CLR <TMP1+1         ; 1 after REM, 2 inside DATA
.l      LDA ,Y+
        BEQ .done
        LDB <TMP1+1
        CMPB #1
        BEQ .out
        CMPA #'"'
        BNE .nq
        COM <TMP1
        BRA .out
.nq     TST <TMP1
        BNE .out
        CMPB #2
        BNE .kw
        CMPA #':'
        BNE .out
        CLR <TMP1+1
        BRA .out
.kw     TSTA
        BPL .out
        CMPA #T_EXT
        BNE .k1
        LDA ,Y+             ; its number in xkwtab
.k1     JSR prtkw
        CMPA #T_REM
        BEQ .rem
        CMPA #T_APOS
        BEQ .rem
        CMPA #T_DATA
        BNE .l
        LDB #2
        STB <TMP1+1
        BRA .l
.rem    LDB #1
        STB <TMP1+1
        BRA .l
.out    JSR outch
        BRA .l
.done   JSR bcrlf
        PULS A,B,X,Y,PC
